#pragma once
// What can be read, line by line, of a settings text the key file refused as a
// whole: the lines it takes, in their order, and the numbers of the others.
// The latest text's result is kept: the settings file is read anew at every
// call, and sorting the same text again would cost a parse per line per call.
#include <string>
#include <vector>

class LineSalvage {
public:
    struct Result {
        // The lines read (groups, comments, blanks, and the keys of a group
        // that was read), each ended by a newline.
        std::string readable;
        std::vector<int> dropped;
    };

    const Result& Of(const std::string& text);

private:
    bool held_ = false;
    std::string text_;
    Result result_;
};
