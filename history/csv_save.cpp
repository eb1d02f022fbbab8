#include "history/csv_save.h"

#include <filesystem>

#include "base/file_writer.h"
#include "base/language.h"
#include "base/utf8_path.h"

namespace {

std::string FailureText(ReplaceFailure failure, bool existed, const std::string& name) {
    switch (failure) {
        case ReplaceFailure::None:
            break;
        case ReplaceFailure::Create:
            return existed ? PickText("Ошибка открытия файла\r\n", "File open Error\r\n") + name
                           : PickText("Ошибка создания файла", "File creating Error") +
                                 std::string("\r\n") + name + "\r\n";
        case ReplaceFailure::Write:
            return PickText("Ошибка записи файла\r\n", "File write Error\r\n") + name;
        case ReplaceFailure::Replace:
            return PickText("Ошибка\r\nНет доступа к файлу\r\n", "Error\n\rnoaccess to file\r\n") +
                   name;
    }
    return {};
}

}  // namespace

std::string WithCsvExtension(const std::string& name) {
    return PathFromUtf8(name).has_extension() ? name : name + ".csv";
}

void SaveCsvClick(const DeviceHistory& history, Dialogs& dialogs, std::string& lastCsvFileName) {
    SaveCsvText(history.valid, history.csv.Bytes(), dialogs, lastCsvFileName);
}

void SaveCsvText(bool valid, std::string_view text, Dialogs& dialogs,
                 std::string& lastCsvFileName) {
    if (!valid) {
        dialogs.Error(PickText("Сначала считайте историю", "First read History from Device"));
        return;
    }
    std::string chosen = lastCsvFileName;
    if (!dialogs.SaveFileName(PickText("Сохранение истории в формате CSV", "CSV History saving"),
                              PickText("Файлы CSV (*.csv)|*.CSV", "CSV Files(*.csv)|*.CSV"),
                              chosen)) {
        return;
    }
    const std::string name = WithCsvExtension(chosen);
    std::error_code error;
    const bool existed = std::filesystem::exists(PathFromUtf8(name), error);
    if (existed && !dialogs.AskYesNo(PickText("Файл\r\n", "File\r\n") + name +
                                     PickText("\r\nуже существует\r\nПерезаписать?",
                                              "\r\nalready exists\r\nRewrite?"))) {
        return;
    }
    const ReplaceFailure failure = ReplaceFileContent(name, text);
    if (failure != ReplaceFailure::Create) {
        lastCsvFileName = name;
    }
    if (failure != ReplaceFailure::None) {
        dialogs.Error(FailureText(failure, existed, name));
    }
}
