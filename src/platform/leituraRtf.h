// The program's own RTF reader: the text of a document, where no converter is installed
// (Windows without LibreOffice, Linux without LibreOffice or unrtf).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of the RTF document `rtf`, in Windows-1252 with CR LF line ends. \par, \line,
// \row, \page and \sect end a line; \tab and \cell are a tab; \'hh is a byte of the code
// page (taken as Windows-1252 whatever the document says); \uN is that character (or '?'
// where the code page lacks it) and its \ucN stand-in characters are left out; fonts,
// colours, styles, pictures, headers, footers, notes and every destination marked \* are
// left out. Any input is safe: groups nest to a bounded depth (deeper ones read as text of
// the group around them) and a document cut short ends where it is cut. Nothing when `rtf`
// does not begin as an RTF document ("{\rtf").
std::optional<std::string> textoDeRtf(std::string_view rtf);
