// The family's document converter, its first half: a text with formatting marks ("<IN>",
// "<TF=Arial>", "<C>" ...) written as an RTF document.
#pragma once

#include <string>
#include <string_view>

// The RTF document of `texto`: Windows-1252 bytes, or UTF-8 when the text is valid UTF-8
// with characters beyond ASCII. Lines are joined into paragraphs as the editor exports
// them: an empty line is an empty paragraph, and a line that begins with a blank or with
// an alignment mark begins a new one; any other line goes on the paragraph before it.
// Marks that are not recognised, or whose value makes no sense (a colour beyond 16, a size
// that is not a number), are left out; other text between angle brackets stays.
std::string geraRtf(std::string_view texto);
