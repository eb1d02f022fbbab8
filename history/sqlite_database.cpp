#include "history/sqlite_database.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::string& value) {
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::vector<std::uint8_t>& value) {
    sqlite3_bind_blob(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::optional<double> value) {
    if (value) {
        sqlite3_bind_double(statement_, index, *value);
    } else {
        sqlite3_bind_null(statement_, index);
    }
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::optional<std::int64_t> value) {
    if (value) {
        sqlite3_bind_int64(statement_, index, *value);
    } else {
        sqlite3_bind_null(statement_, index);
    }
    return *this;
}

bool SqliteStatement::Step() {
    if (statement_ == nullptr) {
        done_ = false;
        return false;
    }
    result_ = sqlite3_step(statement_);
    done_ = result_ == SQLITE_DONE;
    return result_ == SQLITE_ROW;
}

bool SqliteStatement::Run() {
    while (Step()) {
    }
    return done_;
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    done_ = false;
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::vector<std::uint8_t> SqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes == nullptr ? std::vector<std::uint8_t>()
                            : std::vector<std::uint8_t>(bytes, bytes + size);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqliteDatabase::~SqliteDatabase() {
    Close();
}

bool SqliteDatabase::Open(const std::string& path, bool create, int busyMilliseconds) {
    Close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        openError_ = db_ == nullptr ? "out of memory" : sqlite3_errmsg(db_);
        Close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, busyMilliseconds);
    return true;
}

void SqliteDatabase::Close() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteDatabase::Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteDatabase::Error() const {
    return db_ == nullptr ? openError_ : std::string(sqlite3_errmsg(db_));
}

int SqliteDatabase::ErrorCode() const {
    return db_ == nullptr ? SQLITE_CANTOPEN : sqlite3_errcode(db_) & 0xFF;
}

std::optional<double> SqliteStatement::OptionalReal(int column) const {
    if (IsNull(column)) {
        return std::nullopt;
    }
    return sqlite3_column_double(statement_, column);
}

std::optional<std::int64_t> SqliteStatement::OptionalInt(int column) const {
    if (IsNull(column)) {
        return std::nullopt;
    }
    return sqlite3_column_int64(statement_, column);
}
