#pragma once

#include "db/decimal.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

// The dairy's one door to Firebird. Everything the windows read and write goes
// through a Connection: statements are prepared once and cached, parameters
// are bound by name (":PCDCLIENTE") with typed values, results come back as
// QVariants (NULL as an invalid QVariant, NUMERIC as db::Decimal, CHAR(n)
// padded to n characters, DATE as QDate, BLOB as QByteArray).

namespace db {

// A Firebird error turned into something a window can show.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message, std::vector<long> codes = {}, QString exceptionText = {});

    QString message() const { return m_message; }
    // The text of a PSQL EXCEPTION raised by one of our procedures or
    // triggers ("Venda já possui recebimento..."), empty for other errors.
    QString exceptionText() const { return m_exceptionText; }
    // What a window shows: the exception's own text when there is one,
    // otherwise the server's whole message.
    QString userText() const { return m_exceptionText.isEmpty() ? m_message : m_exceptionText; }
    bool hasCode(long gdsCode) const;
    // Another workstation changed or locked the same row: worth a retry.
    bool isUpdateConflict() const;
    // A primary-key or unique constraint refused the row.
    bool isDuplicateKey() const;

private:
    QString m_message;
    std::vector<long> m_codes;
    QString m_exceptionText;
};

// How a column of a result is typed on the server.
struct Field
{
    enum class Kind { Integer, Decimal, Double, Text, Char, Date, Time, Timestamp, Blob, TextBlob, Boolean, Null };
    QString name;     // alias as the statement names it (upper case unless quoted)
    QString relation; // table the column comes from, empty for expressions
    QString column;   // column name in that table
    Kind kind = Kind::Text;
    int length = 0;   // characters for text, bytes otherwise
    int scale = 0;    // decimals for Kind::Decimal
    bool nullable = true;
};

// A named parameter; names are matched without regard to case and without
// the leading colon.
struct Param
{
    QString name;
    QVariant value;
};
using Params = std::vector<Param>;

// The rows of a statement, read whole into memory, or the output parameters
// of an EXECUTE PROCEDURE as a single row.
class Result
{
public:
    const QVector<Field> &fields() const { return m_fields; }
    int columnCount() const { return static_cast<int>(m_fields.size()); }
    // Case-insensitive; -1 when absent.
    int columnIndex(const QString &name) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const QVector<QVariant> &row(int i) const { return m_rows[i]; }
    QVector<QVector<QVariant>> &rows() { return m_rows; }
    const QVector<QVector<QVariant>> &rows() const { return m_rows; }
    // Value of a column in a row; throws Error for an unknown column.
    QVariant value(int row, const QString &column) const;
    // Value of a column in the first row; an invalid QVariant when there is
    // no row.
    QVariant value(const QString &column) const;
    // Rows changed by an INSERT, UPDATE or DELETE.
    qint64 affectedRows() const { return m_affected; }

private:
    friend class Connection;
    QVector<Field> m_fields;
    QVector<QVector<QVariant>> m_rows;
    qint64 m_affected = 0;
};

class Connection;

// One unit of work. Rolled back on destruction unless committed, so an
// exception thrown half-way through a user action leaves nothing behind.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    Result execute(const QString &sql, const Params &params = {});
    void commit();
    void rollback();
    bool isActive() const { return m_handle != nullptr; }
    Connection &connection() { return m_connection; }

private:
    friend class Connection;
    Connection &m_connection;
    void *m_handle = nullptr; // Firebird::ITransaction
};

class Connection
{
public:
    struct Options
    {
        QString database;                 // file path, or host[/port]:path
        QString user = QStringLiteral("SYSDBA");
        QString password = QStringLiteral("bolvinuqe");
        QString role = QStringLiteral("RoleName");
        QString charset = QStringLiteral("ISO8859_1");
        // Sets the database's forced-writes mode on attaching (left as it
        // is when unset).
        std::optional<bool> forcedWrites;
    };

    // Attaches to an existing database; throws Error with the server's
    // message when it cannot.
    static std::unique_ptr<Connection> open(const Options &options);
    static std::unique_ptr<Connection> open(const QString &database);
    // Creates a new, empty database: dialect 3, ISO8859_1, page size 8192,
    // forced writes off while it is being filled.
    static std::unique_ptr<Connection> create(const QString &path);

    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString databaseName() const { return m_options.database; }

    // Runs one statement in its own transaction: reads in a shared
    // read-committed, read-only transaction; writes committed at once,
    // retried when another workstation holds the row.
    Result execute(const QString &sql, const Params &params = {});

    // Runs a user action in one transaction: committed when fn returns,
    // rolled back when it throws. An update conflict with another
    // workstation rolls back and runs fn again, a few times, before the
    // error is reported; fn must therefore only write through the
    // transaction it is given.
    template <class F>
    auto transaction(F &&fn) -> std::invoke_result_t<F, Transaction &>;

    // Runs DDL or PSQL text as it stands (no parameters), committed at once.
    void executeImmediate(const QString &sql);

    // Updates retried because of conflicts since the connection opened.
    int conflictRetries() const { return m_conflictRetries; }
    // A conflict means another workstation committed a change of the same
    // row, and each new attempt wins it about half the time while the other
    // keeps working (measured with two workstations selling back to back:
    // 8 attempts ran out about once in every few thousand actions).
    static constexpr int maxAttempts = 30;

    // Lets a PSQL text pass through parameter parsing untouched; public for
    // the tests of the parser.
    static QString toPositional(const QString &sql, QStringList *names);

private:
    friend class Transaction;
    Connection() = default;
    struct Prepared;
    Prepared &prepare(void *transaction, const QString &sql);
    Result run(void *transaction, const QString &sql, const Params &params);
    void *startTransaction(bool readOnly);
    void commitHandle(void *handle);
    void rollbackHandle(void *handle) noexcept;
    void *readTransaction();
    void backOff(int attempt);

    Options m_options;
    void *m_attachment = nullptr; // Firebird::IAttachment
    void *m_readTransaction = nullptr;
    int m_conflictRetries = 0;
    struct Cache;
    std::unique_ptr<Cache> m_cache;
};

template <class F>
auto Connection::transaction(F &&fn) -> std::invoke_result_t<F, Transaction &>
{
    using R = std::invoke_result_t<F, Transaction &>;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(*this);
            if constexpr (std::is_void_v<R>) {
                fn(tx);
                if (tx.isActive())
                    tx.commit();
                return;
            } else {
                R result = fn(tx);
                if (tx.isActive())
                    tx.commit();
                return result;
            }
        } catch (const Error &e) {
            if (!e.isUpdateConflict() || attempt >= maxAttempts)
                throw;
            ++m_conflictRetries;
            backOff(attempt);
        }
    }
}

// Shuts the Firebird client (and an embedded engine) down in order: every
// attachment is closed and its work rolled back. For a program that must
// end on a signal; connections left afterwards are only released.
void shutdownClient();

// Makes embedded Firebird usable by an ordinary user: its lock folder
// defaults to /tmp/firebird, which root may own. Called before the client
// library starts; a FIREBIRD_LOCK already set is left alone.
void prepareEmbeddedEnvironment();

} // namespace db
