#pragma once
// Run-time errors of the board: number, description and source, as every
// page method's error tail writes them.
#include <stdexcept>
#include <string>

namespace platform {

// Fixed source texts, one per library.
inline constexpr const char* kBoardSource = "Orvane";
inline constexpr const char* kMarkupSource = "OrvaneMarkup";

// Error numbers the runtime raises. The board raises no number that is
// not named here.
enum ErrorNumber : long {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrSubscriptOutOfRange = 9,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrFileNotFound = 53,
    kErrPathFileAccess = 75,
    kErrObjectNotSet = 91,
    kErrInvalidUseOfNull = 94,
    kErrCannotCreateObject = 429,
    kErrDatabase = 3000,  // SQLite failures and the record sets' own
    kErrRegExpSyntax = 5017,
};

// The descriptions raised with a number, where the standard one does not
// serve. Those ending in ": " or "：" are followed by the thing concerned.

// kErrDatabase: the record set's own failures, also for pages that page
// rows they keep as a record set would.
inline constexpr const char* kNoCurrentRecordText =
    "Either BOF or EOF is True, or the current record has been deleted.";
inline constexpr const char* kPageOutOfRangeText =
    "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
inline constexpr const char* kCommandTextNotSetText = "命令文本未被设置。";
inline constexpr const char* kForwardOnlyText = "The operation is not supported on a forward-only record set.";
inline constexpr const char* kItemNotFoundText =
    "Item cannot be found in the collection corresponding to the requested name or ordinal.";
inline constexpr const char* kNamedItemNotFoundText =
    "Item cannot be found in the collection corresponding to the requested name or ordinal: ";
inline constexpr const char* kNotSingleTableText =
    "The record set cannot be updated: it does not read a single table.";
inline constexpr const char* kObjectClosedText = "Operation is not allowed when the object is closed.";
inline constexpr const char* kObjectOpenText = "Operation is not allowed when the object is open.";
std::string FieldNotUpdatableText(const std::string& field);
inline constexpr const char* kCacheSizeText = "The cache size must be at least 1.";
inline constexpr const char* kPageSizeText = "The page size must be at least 1.";
// kErrDatabase: statements and connections.
inline constexpr const char* kEndedTransactionText = "The statement belongs to a write transaction that has ended.";
inline constexpr const char* kNulInCommandText =
    "The command text holds a NUL character; values with one must be bound.";
inline constexpr const char* kNoStatementText = "The command text holds no statement.";
inline constexpr const char* kManyStatementsText = "The command text holds more than one statement.";
inline constexpr const char* kTooManyValuesText = "More parameter values than placeholders in the command text.";
// kErrDatabase, answered kUnavailable: too many writers wait for the file.
inline constexpr const char* kWritersQueueFullText = "论坛正忙，你的数据没有保存，请稍后再试。";
inline constexpr const char* kNoDataSourceText = "The connection string names no data source.";
inline constexpr const char* kDataSourceNotFoundText = "Data source name not found: ";
inline constexpr const char* kConnectionOpenText = "The connection is already open.";
inline constexpr const char* kConnectionClosedText = "The connection is closed.";
inline constexpr const char* kTransactionOpenText = "A transaction is already open on this connection.";
inline constexpr const char* kNoTransactionText = "No transaction is open on this connection.";
inline constexpr const char* kLogCopyInTransactionText = "The log cannot be copied inside a transaction.";
inline constexpr const char* kTokenizerText = "cannot register the search index's tokenizer";
// kErrDatabase: the schema's steps (see SchemaUpgrade.h).
std::string SchemaStepOutOfOrderText(int step);
std::string NewerSchemaText(int recorded, int known);
// Others, by number.
inline constexpr const char* kPathAccessText = "路径/文件访问错误: ";            // kErrPathFileAccess
inline constexpr const char* kObjectNotSetText = "Object variable not set: ";    // kErrObjectNotSet
inline constexpr const char* kCannotCreateObjectText = "部件不能创建对象：";      // kErrCannotCreateObject
inline constexpr const char* kRegExpSyntaxText = "正则表达式语法错误：";          // kErrRegExpSyntax
inline constexpr const char* kSettingsFileText = "cannot read the settings file ";  // kErrFileNotFound
inline constexpr const char* kPathOutsideSiteText = "The path leaves the site folder: ";  // kErrInvalidCall
inline constexpr const char* kNoRandomBytesText = "无法读取系统随机数";               // kErrInvalidCall
// kErrInvalidCall: a line of the settings file that cannot be read.
std::string SettingsLineNotUtf8Text(int line);
std::string SettingsLineNotKeyValueText(int line);
// kErrInvalidCall: a conversion the system's iconv lacks.
std::string NoConversionText(const std::string& from, const std::string& to);

// The HTTP status of a page that a run-time error ends.
inline constexpr int kBoardFault = 500;    // a fault of the board itself
inline constexpr int kUnavailable = 503;   // the database cannot serve now: full, locked, read-only

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, std::string description, std::string source = kBoardSource,
                 int httpStatus = kBoardFault);
    long number() const { return number_; }
    int httpStatus() const { return httpStatus_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }
    // "错误号：" + number + "<br>错误描述：" + description + "<br>错误来源：" + source,
    // as HTML: description and source HTML-encoded.
    std::string tailText() const;

private:
    long number_;
    std::string description_;
    std::string source_;
    int httpStatus_;
};

// A statement stopped at the time budget its page gave it
// (platform::TimeBudget): the page may tell the visitor what costs less.
inline constexpr const char* kTimeBudgetSpentText = "The statement ran past its time budget.";
class TimeBudgetSpent : public RuntimeError {
public:
    TimeBudgetSpent() : RuntimeError(kErrDatabase, kTimeBudgetSpentText, kBoardSource, kUnavailable) {}
};

// Raise with the runtime's standard description for the number.
[[noreturn]] void raise(long number);
[[noreturn]] void raise(long number, const std::string& description,
                        const std::string& source = kBoardSource);
std::string standardDescription(long number);

}  // namespace platform
