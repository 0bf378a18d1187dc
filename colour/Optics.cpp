#include "colour/Optics.h"

#include <algorithm>
#include <cmath>

#include "colour/Decimal.h"

namespace lacqueron::colour {

namespace {

constexpr int kFormatVersion = 1;
constexpr char kFormatWord[] = "optics";

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

void AppendBands(std::string& out, const Spectrum& values) {
    for (const double value : values) out += '\t' + FormatNumber(value);
    out += '\n';
}

class OpticsReader {
public:
    OpticsReader(OpticsTable& table, OpticsError& error) : table_(table), error_(error) {}

    bool Line(int number, std::string_view line) {
        line_ = number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') return true;
        const std::vector<std::string_view> f = SplitTabs(line);
        if (!sawFormat_) {
            double version = 0;
            if (f[0] != kFormatWord || f.size() != 2 || !ParseNumber(f[1], version))
                return Fail("not an optics table: the first line must be \"optics<TAB>1\"");
            if (version != kFormatVersion) return Fail("optics table version " + std::string(f[1]) + " is not known");
            sawFormat_ = true;
            return true;
        }
        if (f[0] == "surface") return SurfaceLine(f);
        if (f[0] == "falloff") return FalloffLine(f);
        if (f[0] == "base") return Bands(f, 1, table_.baseK, table_.baseS, baseSeen_);
        if (f[0] == "paste") return PasteLine(f);
        return Fail("unknown line \"" + std::string(f[0]) + "\"");
    }

    bool Finish() {
        line_ = 0;
        if (!sawFormat_) return Fail("empty: no \"optics<TAB>1\" line");
        if (!sawSurface_) return Fail("no surface line");
        if (baseSeen_ != kBoth) return Fail("the base needs both a K and an S line");
        for (std::size_t i = 0; i < table_.pastes.size(); ++i)
            if (pasteSeen_[i] != kBoth) return Fail("paste " + table_.pastes[i].code + " needs both a K and an S line");
        return true;
    }

private:
    enum Seen : unsigned { kNone = 0, kK = 1, kS = 2, kBoth = 3 };

    bool Fail(const std::string& reason) {
        error_.line = line_;
        error_.reason = reason;
        return false;
    }

    bool Number(std::string_view text, double& value) {
        if (!ParseNumber(text, value)) return Fail("not a number: \"" + std::string(text) + "\"");
        return true;
    }

    bool SurfaceLine(const std::vector<std::string_view>& f) {
        if (f.size() != 3) return Fail("surface needs two numbers, k1 and k2");
        if (!Number(f[1], table_.surface.k1) || !Number(f[2], table_.surface.k2)) return false;
        if (table_.surface.k1 < 0 || table_.surface.k1 >= 1 || table_.surface.k2 < 0 || table_.surface.k2 >= 1)
            return Fail("k1 and k2 must lie in [0, 1)");
        sawSurface_ = true;
        return true;
    }

    bool FalloffLine(const std::vector<std::string_view>& f) {
        if (f.size() != 2) return Fail("falloff needs one number");
        if (!Number(f[1], table_.falloff)) return false;
        if (table_.falloff < 0) return Fail("falloff must not be negative");
        return true;
    }

    // f[first] is K or S, then the 31 bands.
    bool Bands(const std::vector<std::string_view>& f, std::size_t first, Spectrum& k, Spectrum& s, unsigned& seen) {
        if (f.size() <= first || (f[first] != "K" && f[first] != "S")) return Fail("expected K or S");
        const bool isK = f[first] == "K";
        const unsigned which = isK ? kK : kS;
        if (seen & which) return Fail(std::string(isK ? "K" : "S") + " given twice");
        const std::size_t count = f.size() - first - 1;
        if (count != static_cast<std::size_t>(kBandCount))
            return Fail("needs " + std::to_string(kBandCount) + " bands (400 to 700 nm), has " + std::to_string(count));
        Spectrum& target = isK ? k : s;
        for (int band = 0; band < kBandCount; ++band) {
            if (!Number(f[first + 1 + band], target[band])) return false;
            if (target[band] < 0)
                return Fail("negative value at " + std::to_string(WavelengthOfBand(band)) + " nm");
        }
        seen |= which;
        return true;
    }

    bool PasteLine(const std::vector<std::string_view>& f) {
        if (f.size() < 2 || f[1].empty()) return Fail("paste needs a code");
        int index = table_.Find(f[1]);
        if (index < 0) {
            index = static_cast<int>(table_.pastes.size());
            table_.pastes.push_back({std::string(f[1]), {}, {}});
            pasteSeen_.push_back(kNone);
        }
        PasteOptics& paste = table_.pastes[index];
        return Bands(f, 2, paste.k, paste.s, pasteSeen_[index]);
    }

    OpticsTable& table_;
    OpticsError& error_;
    int line_ = 0;
    bool sawFormat_ = false;
    bool sawSurface_ = false;
    unsigned baseSeen_ = kNone;
    std::vector<unsigned> pasteSeen_;
};

}  // namespace

int OpticsTable::Find(std::string_view code) const noexcept {
    for (std::size_t i = 0; i < pastes.size(); ++i)
        if (pastes[i].code == code) return static_cast<int>(i);
    return -1;
}

std::string WriteOptics(const OpticsTable& table) {
    std::string out = std::string(kFormatWord) + '\t' + std::to_string(kFormatVersion) + '\n';
    out += "surface\t" + FormatNumber(table.surface.k1) + '\t' + FormatNumber(table.surface.k2) + '\n';
    out += "falloff\t" + FormatNumber(table.falloff) + '\n';
    out += "base\tK";
    AppendBands(out, table.baseK);
    out += "base\tS";
    AppendBands(out, table.baseS);
    for (const PasteOptics& paste : table.pastes) {
        out += "paste\t" + paste.code + "\tK";
        AppendBands(out, paste.k);
        out += "paste\t" + paste.code + "\tS";
        AppendBands(out, paste.s);
    }
    return out;
}

bool ReadOptics(std::string_view text, OpticsTable& table, OpticsError& error) {
    table = OpticsTable{};
    OpticsReader reader(table, error);
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!reader.Line(++number, line)) return false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return reader.Finish();
}

double EffectiveLoad(double grams, double falloff) noexcept { return grams / (1 + falloff * grams); }

Spectrum MixtureKs(const OpticsTable& table, std::span<const Load> loads) noexcept {
    Spectrum k = table.baseK, s = table.baseS;
    for (const Load& load : loads) {
        const PasteOptics& paste = table.pastes[load.paste];
        const double c = EffectiveLoad(load.grams, table.falloff);
        for (int band = 0; band < kBandCount; ++band) {
            k[band] += c * paste.k[band];
            s[band] += c * paste.s[band];
        }
    }
    Spectrum ks;
    for (int band = 0; band < kBandCount; ++band) ks[band] = k[band] / std::max(s[band], kLeastScattering);
    return ks;
}

Spectrum MeasuredFromKs(const Spectrum& ks, const Surface& surface) noexcept {
    Spectrum r;
    for (int band = 0; band < kBandCount; ++band) r[band] = MeasuredReflectance(ReflectanceFromKs(ks[band]), surface);
    return r;
}

Spectrum PredictMeasured(const OpticsTable& table, std::span<const Load> loads) noexcept {
    return MeasuredFromKs(MixtureKs(table, loads), table.surface);
}

Spectrum KsFromMeasured(const Spectrum& measured, const Surface& surface) noexcept {
    Spectrum ks;
    for (int band = 0; band < kBandCount; ++band) ks[band] = KsFromReflectance(InternalReflectance(measured[band], surface));
    return ks;
}

}  // namespace lacqueron::colour
