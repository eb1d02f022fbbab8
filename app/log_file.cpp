#include "app/log_file.h"

#include "base/file_writer.h"

std::string DefaultLogFileName(const std::string& tempFolder) {
    return tempFolder + "/log.txt";
}

bool SaveLogFile(const AppLog& log, const std::string& fileName, const std::string& tempFolder) {
    const std::string path = fileName.empty() ? DefaultLogFileName(tempFolder) : fileName;
    return WriteFileReplacing(path, log.Text());
}
