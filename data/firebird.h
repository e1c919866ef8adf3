#pragma once
// Thin RAII layer over Firebird's object-oriented client API.
// Chain: Attachment -> Transaction -> Statement. Every server error becomes fb::Error
// carrying the server's own message text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace fb {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message, std::vector<long> codes = {});
    QString message() const { return message_; }
    // Firebird status codes (isc_*) of the error vector, first one first.
    const std::vector<long>& codes() const { return codes_; }
    bool hasCode(long code) const;
    // Lock conflict / update conflict under "nowait", or a lock waited for in vain.
    bool isLockConflict() const;
    // The server cannot be reached or the connection to it was lost.
    bool isConnectionLost() const;

private:
    QString message_;
    std::vector<long> codes_;
};

struct ConnectionSettings
{
    QString database; // "host/port:path"
    QString user = QStringLiteral("SYSDBA");
    QString password;
};

// What the attachment and every transaction and statement made on it share: once the server has
// reported the connection lost, nothing more is asked of it. A request on a connection the server
// dropped can wait for ever inside the client library: the handles are only released.
struct ConnectionState
{
    ConnectionState() = default;
    ~ConnectionState(); // releases lostHandle
    ConnectionState(const ConnectionState&) = delete;
    ConnectionState& operator=(const ConnectionState&) = delete;

    bool lost = false;
    // The server's words when it was lost, repeated to every later request.
    QString message;
    std::vector<long> codes;
    // A lost connection's handle, released only once nothing made on it is left: releasing it
    // makes the client library free its statements and cursors, which their holders release again.
    Firebird::IAttachment* lostHandle = nullptr;
};

class Attachment
{
public:
    Attachment() = default;
    ~Attachment();
    Attachment(Attachment&& other) noexcept;
    Attachment& operator=(Attachment&& other) noexcept;
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    static Attachment attach(const ConnectionSettings& settings);
    // Creates a new database (UTF8 default character set). forcedWrites off is for scratch databases only.
    static Attachment create(const ConnectionSettings& settings, bool forcedWrites = true);

    bool isValid() const { return att_ != nullptr; }
    // The server reported this connection lost: only a new attach makes it usable again.
    bool isLost() const { return state_ && state_->lost; }
    const std::shared_ptr<ConnectionState>& state() const { return state_; }
    // Forgets a lost connection without a word to the server (detach() on a lost one does the same).
    void abandon();
    void detach();
    void dropDatabase();
    Firebird::IAttachment* handle() const { return att_; }

private:
    explicit Attachment(Firebird::IAttachment* att) : att_(att), state_(std::make_shared<ConnectionState>()) {}
    void end() noexcept; // detaches (a lost one is only released)
    Firebird::IAttachment* att_ = nullptr;
    std::shared_ptr<ConnectionState> state_;
};

class Transaction
{
public:
    Transaction() = default;
    // Starts a read_committed, rec_version, nowait, write transaction. With a lock timeout it waits
    // up to that many seconds for a row another transaction holds instead.
    explicit Transaction(Attachment& attachment, int lockTimeoutSeconds = 0);
    ~Transaction(); // rolls back when still active, errors swallowed
    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&& other) noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return tra_ != nullptr && !isLost(); }
    void start(Attachment& attachment, int lockTimeoutSeconds = 0);
    void commit();
    void commitRetaining();
    void rollback();
    void rollbackRetaining();
    Attachment* attachment() const { return att_; }
    Firebird::ITransaction* handle() const { return tra_; }
    // Its connection was lost (or detached since): it can only be forgotten.
    bool isLost() const { return state_ && state_->lost; }

private:
    void end() noexcept; // rolls back (a lost one is only released)
    Attachment* att_ = nullptr;
    Firebird::ITransaction* tra_ = nullptr;
    std::shared_ptr<ConnectionState> state_; // the connection it was started on
};

struct Column
{
    QString name;     // column name in its table (empty for expressions)
    QString alias;    // name the select gives it
    QString relation; // table name
    unsigned type = 0;
    int subType = 0;
    int scale = 0;
    unsigned length = 0;     // bytes
    unsigned charLength = 0; // characters, for text columns
    bool nullable = true;
    unsigned offset = 0, nullOffset = 0; // where its value and its null flag sit in a row
};

class Statement
{
public:
    // Prepares sql. Named parameters (":ID", ":OLD_ID") are bound by name; one name may occur several times.
    Statement(Attachment& attachment, Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QStringList& parameterNames() const { return names_; }
    bool hasParameter(const QString& name) const;
    void setParameter(const QString& name, const QVariant& value);
    // By position in parameterNames(), for loops that set many parameters on every execute.
    int parameterIndex(const QString& name) const;
    void setParameter(int index, const QVariant& value) { params_[index] = value; }
    void clearParameters();

    // Runs the statement; a select opens its cursor, read with fetch().
    void execute();
    // A select that always gives exactly one row (an aggregate: count, max), run and read in one
    // exchange with the server instead of opening a cursor and fetching from it; the row is then
    // in value(). A select of several rows is the server's error.
    void executeOne();
    bool fetch();
    // The next row left as the server sent it, for a long reading that takes its columns straight
    // from it with the accessors below instead of building a value of each.
    bool fetchRaw();
    bool isNull(int i) const;
    // A DATE column as QDate's day number (toJulianDay()).
    qint64 dayNumber(int i) const;
    // An integer column, or a NUMERIC one without its scale (1,234 in NUMERIC(9,3) gives 1234).
    qint64 unscaled(int i) const;
    // A text column's UTF-8 bytes, without the blanks a fixed-width column is padded with.
    QByteArrayView bytes(int i) const;
    void close();
    bool isOpen() const { return cursor_ != nullptr; }
    bool isSelect() const { return columns_.size() > 0 && isSelect_; }

    int columnCount() const { return int(columns_.size()); }
    const Column& column(int i) const { return columns_[i]; }
    int columnIndex(const QString& alias) const;
    QVariant value(int i) const { return row_[i]; }
    QVariant value(const QString& alias) const;
    const QVector<QVariant>& row() const { return row_; }
    unsigned affectedRows() const;

private:
    void run(bool withCursor);
    void decodeRow();
    QByteArray buildInput(Firebird::IMessageMetadata*& meta);

    Attachment& att_;
    Transaction& tra_;
    std::shared_ptr<ConnectionState> state_; // the connection it was prepared on
    Firebird::IStatement* stmt_ = nullptr;
    Firebird::IResultSet* cursor_ = nullptr;
    Firebird::IMessageMetadata* inMeta_ = nullptr;
    Firebird::IMessageMetadata* outMeta_ = nullptr;
    bool isSelect_ = false;
    QStringList names_;         // distinct names, first occurrence first
    QVector<int> positionName_; // for each '?' position, its index in names_
    QVector<QVariant> params_;  // by index in names_
    // The input message last described and its shape (each position's kind and length): a loop
    // that executes with values of the same kinds reuses it instead of describing it again.
    Firebird::IMessageMetadata* lastInMeta_ = nullptr;
    QVector<quint32> lastShape_;
    QVector<Column> columns_;
    QVector<QVariant> row_;
    QByteArray outBuf_;
};

// Replaces named parameters by '?' outside literals, quoted names and comments.
// Returns the rewritten text; names receives the name of each position.
QString translateNamedParameters(const QString& sql, QStringList& names);

// Runs a script of statements in the style isql reads (";" terminator, "SET TERM" to change it),
// committing each statement. Used to build a database from data/local.sql and data/central.sql.
void executeScript(Attachment& attachment, const QString& script);

// Current value of a generator (not advanced).
qint64 generatorValue(Attachment& attachment, Transaction& transaction, const QString& generator);

} // namespace fb
