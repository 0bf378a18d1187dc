#include "colour/Cxf.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "colour/Decimal.h"

namespace lacqueron::colour {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr double kDefaultIncrementNm = 10;
// A band falls on a value when its place in the list is this near a whole number.
constexpr double kPlaceTolerance = 1e-6;
constexpr std::size_t kQuotedBytes = 40;
constexpr std::uint32_t kLargestCodePoint = 0x10FFFF;
constexpr std::uint32_t kFirstSurrogate = 0xD800;
constexpr std::uint32_t kLastSurrogate = 0xDFFF;
constexpr int kDecimalBase = 10;
constexpr int kHexBase = 16;

constexpr std::string_view kObject = "Object";
constexpr std::string_view kSpectrum = "ReflectanceSpectrum";
constexpr std::string_view kConditionsElement = "ColorSpecification";
constexpr std::string_view kRange = "WavelengthRange";

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameChar(char c) {
    return !IsXmlBlank(c) && c != '/' && c != '>' && c != '<' && c != '=' && c != '"' && c != '\'';
}

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string Quoted(std::string_view text) {
    if (text.size() <= kQuotedBytes) return "\"" + std::string(text) + "\"";
    std::size_t cut = kQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// "#65" or "#x41" as a character; false for anything else or a code no character has.
bool CharacterReference(std::string_view name, std::string& out) {
    if (name.size() < 2 || name[0] != '#') return false;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    std::uint32_t code = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + kDecimalBase;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + kDecimalBase;
        if (digit < 0) return false;
        code = code * (hex ? kHexBase : kDecimalBase) + static_cast<std::uint32_t>(digit);
        if (code > kLargestCodePoint) return false;
    }
    if (code == 0 || (code >= kFirstSurrogate && code <= kLastSurrogate)) return false;
    AppendUtf8(code, out);
    return true;
}

// Text or an attribute's value with its entities replaced; false with the reason for one
// that is unknown or not closed.
bool Unescape(std::string_view raw, std::string& out, std::string& reason) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const std::size_t end = raw.find(';', i);
        if (end == std::string_view::npos) {
            reason = "an entity is not closed by ';' in " + Quoted(raw);
            return false;
        }
        const std::string_view name = raw.substr(i + 1, end - i - 1);
        const auto named = std::find_if(std::begin(kNamed), std::end(kNamed),
                                        [&](const auto& entity) { return entity.first == name; });
        if (named != std::end(kNamed)) {
            out += named->second;
        } else if (!CharacterReference(name, out)) {
            reason = "an unknown entity &" + std::string(name.substr(0, kQuotedBytes)) + ";";
            return false;
        }
        i = end;
    }
    return true;
}

// The values of a spectrum as the file lists them.
struct ListedSpectrum {
    std::size_t object = 0;
    std::string conditionsId;  // the measuring conditions it names, by their Id
    std::optional<double> start;
    std::string values;
    std::size_t at = 0;  // where in the text
};

struct Range {
    std::optional<double> start, increment;
};

class Reader {
    using Attributes = std::map<std::string, std::string, std::less<>>;

public:
    Reader(std::string_view text, CgatsError& error) : text_(text), error_(error) {}

    bool Read() {
        while (at_ < text_.size()) {
            if (text_[at_] != '<') {
                const std::size_t end = std::min(text_.find('<', at_), text_.size());
                if (!Text(text_.substr(at_, end - at_))) return false;
                at_ = end;
            } else if (!Markup()) {
                return false;
            }
        }
        if (!open_.empty()) return Fail("the file ends inside <" + open_.back() + ">");
        if (!rootSeen_) return Fail("no XML element in the file");
        return true;
    }

    // The objects' spectra over 400..700 nm, in file order, scaled once for the file.
    bool Finish(std::vector<CgatsSample>& samples) {
        std::vector<bool> taken(objects_.size(), false);
        double highest = 0;
        for (const ListedSpectrum& listed : spectra_) {
            if (taken[listed.object]) continue;
            at_ = listed.at;
            const auto range = ranges_.find(listed.conditionsId);
            const Range none;
            const Range& given = range == ranges_.end() ? none : range->second;
            const std::optional<double> start = listed.start ? listed.start : given.start;
            if (!start) return Fail("the spectrum's first wavelength is given neither by StartWL nor by its range");
            const double increment = given.increment.value_or(kDefaultIncrementNm);
            if (!(increment > 0)) return Fail("the wavelength range's Increment is not above 0");
            std::vector<double> values;
            if (!Values(listed.values, values)) return false;
            CgatsSample sample = objects_[listed.object];
            if (!Bands(values, *start, increment, sample.reflectance)) continue;
            for (double value : values) highest = std::max(highest, value);
            samples.push_back(std::move(sample));
            taken[listed.object] = true;
        }
        if (samples.empty()) {
            error_.noSpectrum = true;
            at_ = text_.size();
            return Fail("no object with a reflectance spectrum from 400 to 700 nm");
        }
        return ScaleReflectances(samples, highest, error_);
    }

private:
    bool Fail(std::string reason) {
        // A failure at the end is on the last line, not on the empty one after its line end.
        error_.line = LineAt(text_.empty() ? 0 : std::min(at_, text_.size() - 1));
        error_.reason = std::move(reason);
        return false;
    }

    // Counted on from the last place asked about, as the reader mostly goes forward.
    int LineAt(std::size_t offset) {
        offset = std::min(offset, text_.size());
        if (offset < counted_) {
            counted_ = 0;
            line_ = 1;
        }
        for (; counted_ < offset; ++counted_)
            if (text_[counted_] == '\n' ||
                (text_[counted_] == '\r' && (counted_ + 1 >= text_.size() || text_[counted_ + 1] != '\n')))
                ++line_;
        return line_;
    }

    bool StartsHere(std::string_view what) const { return text_.substr(at_, what.size()) == what; }

    // Moves past the end mark; false when there is none.
    bool SkipPast(std::string_view end) {
        const std::size_t found = text_.find(end, at_);
        if (found == std::string_view::npos) return false;
        at_ = found + end.size();
        return true;
    }

    bool Text(std::string_view raw) {
        if (!collecting_) return true;
        std::string reason, text;
        if (!Unescape(raw, text, reason)) return Fail(reason);
        listed_.values += text;
        return true;
    }

    bool Markup() {
        if (StartsHere("<?")) return SkipPast("?>") || Fail("a processing instruction <? is not closed");
        if (StartsHere("<!--")) return SkipPast("-->") || Fail("a comment <!-- is not closed");
        if (StartsHere("<![CDATA[")) {
            const std::size_t start = at_ + std::string_view("<![CDATA[").size();
            if (!SkipPast("]]>")) return Fail("a CDATA section is not closed");
            if (collecting_) listed_.values += text_.substr(start, at_ - start - std::string_view("]]>").size());
            return true;
        }
        if (StartsHere("<!")) {
            const std::size_t end = text_.find('>', at_);
            if (end == std::string_view::npos) return Fail("a declaration <! is not closed");
            if (text_.substr(at_, end - at_).find('[') != std::string_view::npos)
                return Fail("a DOCTYPE with declarations of its own is not read");
            at_ = end + 1;
            return true;
        }
        return StartsHere("</") ? EndTag() : StartTag();
    }

    std::string_view Name() {
        const std::size_t start = at_;
        while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
        return text_.substr(start, at_ - start);
    }

    void SkipBlanks() {
        while (at_ < text_.size() && IsXmlBlank(text_[at_])) ++at_;
    }

    bool StartTag() {
        ++at_;
        const std::string_view name = Name();
        if (name.empty()) return Fail("a '<' with no element name after it");
        if (open_.empty() && rootSeen_) return Fail("a second root element <" + std::string(name) + ">");
        Attributes attributes;
        for (;;) {
            SkipBlanks();
            if (at_ >= text_.size()) return Fail("the tag <" + std::string(name) + " is not closed");
            if (StartsHere("/>") || StartsHere(">")) break;
            const std::string_view attribute = Name();
            SkipBlanks();
            if (attribute.empty() || !StartsHere("=")) return Fail("an attribute without '=' in <" + std::string(name) + ">");
            ++at_;
            SkipBlanks();
            const char quote = at_ < text_.size() ? text_[at_] : '\0';
            if (quote != '"' && quote != '\'') return Fail("the value of " + std::string(attribute) + " is not quoted");
            const std::size_t close = text_.find(quote, at_ + 1);
            if (close == std::string_view::npos) return Fail("the value of " + std::string(attribute) + " is not closed");
            std::string value, reason;
            if (!Unescape(text_.substr(at_ + 1, close - at_ - 1), value, reason)) return Fail(reason);
            attributes[std::string(LocalName(attribute))] = std::move(value);
            at_ = close + 1;
        }
        const bool empty = StartsHere("/>");
        const std::size_t tag = at_;
        at_ += empty ? 2 : 1;
        rootSeen_ = true;
        if (!Started(LocalName(name), attributes, tag)) return false;
        if (empty) return Ended(LocalName(name));
        open_.emplace_back(name);
        return true;
    }

    bool EndTag() {
        at_ += 2;
        const std::string_view name = Name();
        SkipBlanks();
        if (!StartsHere(">")) return Fail("the end tag </" + std::string(name) + " is not closed");
        if (open_.empty() || open_.back() != name)
            return Fail("</" + std::string(name) + "> where " + (open_.empty() ? "nothing" : "<" + open_.back() + ">") +
                        " is open");
        ++at_;
        open_.pop_back();
        return Ended(LocalName(name));
    }

    static std::string Attribute(const Attributes& attributes, std::string_view name) {
        const auto found = attributes.find(name);
        return found == attributes.end() ? std::string() : found->second;
    }

    // A wavelength attribute, when given; false for one that is not a number.
    bool Wavelength(const Attributes& attributes, std::string_view name, std::optional<double>& value) {
        const auto found = attributes.find(name);
        if (found == attributes.end()) return true;
        double number = 0;
        if (!ParseNumber(found->second, number)) return Fail(std::string(name) + " " + Quoted(found->second) + " is not a number");
        value = number;
        return true;
    }

    bool Started(std::string_view name, const Attributes& attributes, std::size_t tag) {
        if (name == kObject) {
            CgatsSample sample;
            sample.id = Attribute(attributes, "Id");
            sample.name = Attribute(attributes, "Name");
            if (sample.name.empty()) sample.name = sample.id;
            sample.line = LineAt(tag);
            objects_.push_back(std::move(sample));
            inObject_ = true;
        } else if (name == kSpectrum && inObject_) {
            listed_ = {objects_.size() - 1, Attribute(attributes, kConditionsElement), std::nullopt, {}, tag};
            if (!Wavelength(attributes, "StartWL", listed_.start)) return false;
            collecting_ = true;
        } else if (name == kConditionsElement) {
            conditionsId_ = Attribute(attributes, "Id");
        } else if (name == kRange) {
            Range& range = ranges_[conditionsId_];
            if (!Wavelength(attributes, "StartWL", range.start) || !Wavelength(attributes, "Increment", range.increment))
                return false;
        }
        return true;
    }

    bool Ended(std::string_view name) {
        if (name == kSpectrum && collecting_) {
            spectra_.push_back(std::move(listed_));
            collecting_ = false;
        } else if (name == kObject) {
            inObject_ = false;
        } else if (name == kConditionsElement) {
            conditionsId_.clear();
        }
        return true;
    }

    bool Values(std::string_view text, std::vector<double>& values) {
        std::size_t i = 0;
        for (;;) {
            while (i < text.size() && IsXmlBlank(text[i])) ++i;
            if (i == text.size()) return true;
            const std::size_t start = i;
            while (i < text.size() && !IsXmlBlank(text[i])) ++i;
            double value = 0;
            if (!ParseNumber(text.substr(start, i - start), value))
                return Fail("the reflectance " + Quoted(text.substr(start, i - start)) + " is not a number");
            values.push_back(value);
        }
    }

    // The bands 400..700 nm from values at start, start + increment, ...; false when
    // one of them falls between two values or outside the list.
    static bool Bands(const std::vector<double>& values, double start, double increment, Spectrum& bands) {
        for (int band = 0; band < kBandCount; ++band) {
            const double place = (WavelengthOfBand(band) - start) / increment;
            const double whole = std::round(place);
            if (std::fabs(place - whole) > kPlaceTolerance || whole < 0 || whole >= static_cast<double>(values.size()))
                return false;
            bands[band] = values[static_cast<std::size_t>(whole)];
        }
        return true;
    }

    std::string_view text_;
    CgatsError& error_;
    std::size_t at_ = 0;
    std::size_t counted_ = 0;  // lines are counted up to here
    int line_ = 1;
    std::vector<std::string> open_;
    bool rootSeen_ = false;
    std::vector<CgatsSample> objects_;
    bool inObject_ = false;
    bool collecting_ = false;
    ListedSpectrum listed_;
    std::vector<ListedSpectrum> spectra_;
    std::string conditionsId_;
    std::map<std::string, Range> ranges_;
};

std::string_view WithoutMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    return text;
}

}  // namespace

bool LooksLikeXml(std::string_view text) noexcept {
    text = WithoutMark(text);
    std::size_t i = 0;
    while (i < text.size() && IsXmlBlank(text[i])) ++i;
    return i < text.size() && text[i] == '<';
}

bool ReadCxf(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error) {
    samples.clear();
    error = {};
    Reader reader(WithoutMark(text), error);
    if (reader.Read() && reader.Finish(samples)) return true;
    samples.clear();
    return false;
}

bool ReadMeasurementFile(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error) {
    return LooksLikeXml(text) ? ReadCxf(text, samples, error) : ReadCgats(text, samples, error);
}

}  // namespace lacqueron::colour
