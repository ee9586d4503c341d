#include "support/log_messages.h"

#include <gtest/gtest.h>

#include "common/debug_log.h"
#include "support/temp_dir.h"

namespace bcnk::test {

std::vector<Text> LogMessages(const std::string& bytes) {
    std::vector<Text> messages;
    const std::string bom = "\xEF\xBB\xBF";
    if (bytes.compare(0, bom.size(), bom) != 0) {
        ADD_FAILURE() << "debug.log has no byte-order mark";
        return messages;
    }
    const Text text = Utf8ToWide(bytes.substr(bom.size()));
    const size_t stampLength = 14;  // "hh:mm:ss.mmm  "
    int lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(u"\r\n", start);
        if (end == Text::npos) {
            end = text.size();
        }
        const Text line = text.substr(start, end - start);
        start = end + 2;
        if (++lineNumber <= 2) {
            continue;
        }
        if (line.size() < stampLength) {
            ADD_FAILURE() << "short log line: " << WideToUtf8(line);
            continue;
        }
        messages.push_back(line.substr(stampLength));
    }
    if (messages.empty() || messages.back() != u"Session ended.") {
        ADD_FAILURE() << "debug.log does not end with the closing line";
    } else {
        messages.pop_back();
    }
    return messages;
}

std::vector<Text> LoggedMessages(const std::function<void()>& work) {
    TempDir directory;
    EXPECT_TRUE(DebugLog::Open(directory.text()));
    work();
    DebugLog::Close();
    return LogMessages(ReadFileBytes(directory.path() / "debug.log"));
}

}  // namespace bcnk::test
