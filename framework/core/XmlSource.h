#pragma once
// Reads an XML file into memory and checks it before the XML parser sees it:
// the parser trusts its input (it reads past the end of a file that stops
// inside a UTF-8 sequence, and recurses once per nesting level), so only a
// regular file of bounded size, valid UTF-8 without zero bytes and with
// bounded element nesting is handed to it.
#include <cstddef>
#include <string>

class XmlSource {
public:
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;
    static constexpr int kMaxNesting = 256;

    // The file's text with line ends made "\n", followed by padding zero bytes
    // that no multi-byte step of the parser can step over. False with the
    // reason in why when the file cannot be read or fails a check.
    static bool Read(const std::string& path, std::string& text, std::string& why);

    // The byte offset of the first byte that does not belong to a complete,
    // shortest-form UTF-8 sequence (a zero byte counts as such), or npos.
    static std::size_t FindInvalidUtf8(const std::string& text);
    // Whether some element in the text is nested deeper than maxDepth, as the
    // parser will see the nesting (comments, CDATA sections, declarations and
    // quoted attribute values do not nest).
    static bool NestsDeeperThan(const std::string& text, int maxDepth);
};
