#pragma once

// A fast check of an XML document's markup, for parsers that read past their
// buffer on damaged XML (liborcus asserts in that case): every tag, attribute
// value, comment, CDATA section, processing instruction and entity reference
// ends where it should, elements nest and close under one root, and nothing
// but white space, comments and processing instructions stands outside it. A
// processing instruction must be a name with attributes, as the XML
// declaration is (liborcus reads every one so). Names and text are not
// checked (a text that is not UTF-8 is for the reader to mend); a document
// type is refused.

#include <optional>
#include <string>
#include <string_view>

namespace zrv::sheet {

// What is wrong with the markup, in a few words; nothing when it is sound.
std::optional<std::string> XmlMarkupFault(std::string_view xml);

} // namespace zrv::sheet
