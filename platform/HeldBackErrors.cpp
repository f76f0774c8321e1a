#include "platform/HeldBackErrors.h"

#include <unistd.h>

namespace Platform {

HeldBackErrors::HeldBackErrors()
    : file_(std::tmpfile())
{
    std::fflush(stderr);
    if (file_)
        saved_ = dup(STDERR_FILENO);
    if (saved_ >= 0 && dup2(fileno(file_), STDERR_FILENO) < 0) {
        close(saved_);
        saved_ = -1;
    }
}

HeldBackErrors::~HeldBackErrors()
{
    Release();
    if (file_)
        std::fclose(file_);
}

std::string HeldBackErrors::Release()
{
    if (saved_ < 0)
        return "";
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
    std::string text;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;)
        text += char(c);
    return text;
}

} // namespace Platform
