#include "framework/core/XmlSource.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The longest step the parser takes over one character.
constexpr std::size_t kPadding = 4;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Where the tag that starts at text[from] ('<' plus a name) ends: the offset
// of its '>', or npos. Quoted attribute values may hold '>' and '<'.
std::size_t TagEnd(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>')
            return i;
        if (c != '=')
            continue;
        std::size_t value = i + 1;
        while (value < text.size()
               && (text[value] == ' ' || text[value] == '\t' || text[value] == '\n' || text[value] == '\r'))
            ++value;
        if (value < text.size() && (text[value] == '"' || text[value] == '\'')) {
            i = text.find(text[value], value + 1);
            if (i == std::string::npos)
                return i;
        }
    }
    return std::string::npos;
}

bool StartsWith(const std::string& text, std::size_t at, const char* prefix)
{
    return text.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The offset just past the terminator searched for from `from`, or the end.
std::size_t PastTerminator(const std::string& text, std::size_t from, const char* terminator)
{
    const std::size_t found = text.find(terminator, from);
    return found == std::string::npos ? text.size() : found + std::char_traits<char>::length(terminator);
}

bool StartsName(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

} // namespace

std::size_t XmlSource::FindInvalidUtf8(const std::string& text)
{
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead == 0)
            return i;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned long code = 0;
        unsigned long least = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, least = 0x10000;
        } else {
            return i;
        }
        if (size - i < length)
            return i;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!IsContinuation(byte))
                return i;
            code = (code << 6) | (byte & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += length;
    }
    return std::string::npos;
}

bool XmlSource::NestsDeeperThan(const std::string& text, int maxDepth)
{
    int depth = 0;
    for (std::size_t i = text.find('<'); i < text.size(); i = text.find('<', i)) {
        if (StartsWith(text, i, "<!--")) {
            i = PastTerminator(text, i + 4, "-->");
        } else if (StartsWith(text, i, "<![CDATA[")) {
            i = PastTerminator(text, i + 9, "]]>");
        } else if (StartsWith(text, i, "</")) {
            depth = depth > 0 ? depth - 1 : 0;
            i = PastTerminator(text, i + 2, ">");
        } else if (StartsWith(text, i, "<?xml") || (i + 1 < text.size() && StartsName(text[i + 1]))) {
            const std::size_t end = TagEnd(text, i + 1);
            if (end == std::string::npos)
                return false;
            if (text[i + 1] != '?' && text[end - 1] != '/' && ++depth > maxDepth)
                return true;
            i = end + 1;
        } else {
            // Anything else the parser reads up to the next '>'.
            i = PastTerminator(text, i + 1, ">");
        }
    }
    return false;
}

bool XmlSource::Read(const std::string& path, std::string& text, std::string& why)
{
    if (path.empty()) {
        why = "the file name is empty";
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(fs::path(path), error);
    if (!fs::exists(status)) {
        why = "no such file";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        why = "not a regular file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(fs::path(path), error);
    if (error || size > kMaxBytes) {
        why = error ? error.message() : "larger than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string raw(std::istreambuf_iterator<char>(in), {});
    if (!in.good() && !in.eof()) {
        why = "cannot be read";
        return false;
    }
    // The file may have grown since it was measured.
    if (raw.size() > kMaxBytes) {
        why = "larger than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    const std::size_t invalid = FindInvalidUtf8(raw);
    if (invalid != std::string::npos) {
        why = raw[invalid] == '\0' ? "a zero byte at offset " + std::to_string(invalid)
                                   : "not valid UTF-8 at offset " + std::to_string(invalid);
        return false;
    }
    if (NestsDeeperThan(raw, kMaxNesting)) {
        why = "elements nested deeper than " + std::to_string(kMaxNesting) + " levels";
        return false;
    }

    text.clear();
    text.reserve(raw.size() + kPadding);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
        } else {
            text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
        }
    }
    text.append(kPadding, '\0');
    return true;
}
