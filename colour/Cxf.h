// CxF3 files, the XML colour exchange format instruments and colour software write:
// each object's name, id and reflectance from 400 to 700 nm, read as the CGATS
// reader's samples.
//
// What the reader takes:
// - XML 1.0 in UTF-8 with an optional byte order mark: the declaration, comments,
//   processing instructions, a DOCTYPE without declarations of its own, CDATA, the five
//   named entities and character references; elements by their local name, whatever
//   namespace prefix they carry;
// - each Object, named by its Name (else its Id), with a ReflectanceSpectrum in it:
//   values apart by blanks, the first at StartWL (the spectrum's, else that of the
//   WavelengthRange of the measuring conditions it names), each Increment further (that
//   range's; 10 nm when none is given). The first of an object's spectra that has every
//   band 400, 410, ... 700 nm is taken; other values are read as numbers and left out;
// - reflectance in percent or as fractions, decided once per file, as for CGATS.
// Objects without such a spectrum are left out; a file left with none is noSpectrum.
#pragma once

#include <string_view>
#include <vector>

#include "colour/Cgats.h"

namespace lacqueron::colour {

// True when the text, after a byte order mark and blanks, starts as XML does.
bool LooksLikeXml(std::string_view text) noexcept;

// False on the first problem, with its line and English reason; samples is then empty.
bool ReadCxf(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error);

// A measurement file of either kind: CxF3 when the text is XML, else CGATS.
bool ReadMeasurementFile(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error);

}  // namespace lacqueron::colour
