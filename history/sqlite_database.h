#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement; finalized with the object.
class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return statement_ != nullptr; }
    SqliteStatement& Bind(int index, std::int64_t value);
    SqliteStatement& Bind(int index, const std::string& value);
    SqliteStatement& Bind(int index, const std::vector<std::uint8_t>& value);
    // NULL when empty.
    SqliteStatement& Bind(int index, std::optional<double> value);
    SqliteStatement& Bind(int index, std::optional<std::int64_t> value);
    // True while a row is available; Done() tells a clean end from an error.
    bool Step();
    bool Done() const { return done_; }
    // Step() to the end, for statements that return no rows.
    bool Run();
    void Reset();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<std::uint8_t> Blob(int column) const;
    bool IsNull(int column) const;
    std::optional<double> OptionalReal(int column) const;
    std::optional<std::int64_t> OptionalInt(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    bool done_ = false;
    int result_ = 0;
};

// An open database file; closed with the object. Every failure leaves its
// text in Error().
class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens the file, creating it when `create` is set; waits up to
    // `busyMilliseconds` for another program's lock.
    bool Open(const std::string& path, bool create, int busyMilliseconds);
    bool IsOpen() const { return db_ != nullptr; }
    void Close();
    bool Execute(const char* sql);
    sqlite3* Handle() const { return db_; }
    // The last error's text and its primary code.
    std::string Error() const;
    int ErrorCode() const;

  private:
    sqlite3* db_ = nullptr;
    std::string openError_;
};
