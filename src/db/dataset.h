#pragma once

#include "db/database.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

// The cached dataset every window works with (the Tb_... and Q_... of the
// windows): rows read once from a statement into memory, browsed, inserted,
// altered and deleted there, and written to the database only when the
// window applies its pending changes. A window sees what others changed
// only when it reopens the dataset.

namespace db {

// Thrown by an event handler (BeforePost, BeforeScroll, ...) to stop the
// operation quietly, without any message.
struct Abort
{
};

class Dataset;
class DatasetModel;

// Read access to one row of a dataset, for filters and calculated columns.
class RowView
{
public:
    RowView(const Dataset &dataset, int record) : m_dataset(dataset), m_record(record) {}
    QVariant value(const QString &field) const;
    const Dataset &dataset() const { return m_dataset; }

private:
    const Dataset &m_dataset;
    int m_record;
};

class Dataset : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Insert, Edit };

    explicit Dataset(Connection *connection = nullptr, QObject *parent = nullptr);
    Dataset(Connection *connection, const QString &sql, QObject *parent = nullptr);
    ~Dataset() override;

    // --- definition -------------------------------------------------------
    void setConnection(Connection *connection) { m_connection = connection; }
    Connection *connection() const { return m_connection; }
    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    // Parameters of the statement, kept between openings.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    // The table that pending changes are written to, and its key columns.
    // Both are found by themselves when the statement reads one table.
    void setUpdateTable(const QString &table, const QStringList &keyFields = {});
    QString updateTable() const { return m_updateTable; }
    QStringList keyFields() const { return m_keyFields; }
    // Columns read but never written back (joined or computed in SQL).
    void setReadOnlyFields(const QStringList &fields);

    // A column looked up in another dataset: value of lookupResult in the
    // row of `lookup` whose lookupKey equals this row's keyField.
    void addLookupField(const QString &name, const QString &keyField, Dataset *lookup, const QString &lookupKey,
                        const QString &lookupResult);
    // A column computed from the row whenever it is read.
    void addCalculatedField(const QString &name, std::function<QVariant(const RowView &)> compute);

    // Master–detail: reopened with the master's current values whenever the
    // master scrolls or reopens; params maps a parameter of this statement
    // to a field of the master.
    void setMaster(Dataset *master, const QList<QPair<QString, QString>> &paramToMasterField);

    // --- opening ------------------------------------------------------------
    void open();
    void close();
    // Reopens and tries to stay on the row with the same key.
    void refresh();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Insert || m_state == State::Edit; }

    // --- fields -------------------------------------------------------------
    const QVector<Field> &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const; // -1 when unknown
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    const Field &field(const QString &name) const;
    QStringList fieldNames() const;

    // --- navigation ---------------------------------------------------------
    int recordCount() const { return static_cast<int>(m_visible.size()); }
    bool isEmpty() const { return m_visible.isEmpty(); }
    // Position of the current row among the visible ones, -1 when empty.
    int recNo() const { return m_current; }
    void setRecNo(int row);
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    // Moves to the first visible row whose field matches. Text is compared
    // ignoring case when asked, and as a prefix when partial is set.
    bool locate(const QString &field, const QVariant &value, bool caseInsensitive = false, bool partial = false);
    // Value of resultField in the first row whose keyField equals key,
    // without moving; invalid when there is none.
    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField) const;

    // --- values ---------------------------------------------------------------
    // Value of the current row (the row being edited while editing).
    QVariant value(const QString &field) const;
    QVariant value(int row, const QString &field) const; // any visible row
    QString text(const QString &field) const { return value(field).toString(); }
    Decimal decimal(const QString &field) const;
    // Changes a field of the row being inserted or altered, converted to the
    // field's type (texts cut to the column's width, CHAR padded to it).
    void setValue(const QString &field, const QVariant &value);
    bool isNull(const QString &field) const;

    // --- editing ------------------------------------------------------------
    void insert(); // a new row before the current one
    void append(); // a new row at the end
    void edit();   // alter the current row (on an empty dataset: insert)
    void post();
    void cancel();
    void remove(); // delete the current row

    // --- writing to the database -------------------------------------------
    int changeCount() const;
    bool hasPendingChanges() const { return changeCount() > 0; }
    // Writes every pending change through the given transaction, stopping
    // at the first one the database refuses (db::Error). The cache is not
    // touched: call mergeChangeLog() once the transaction has committed.
    void writeChanges(Transaction &tx) const;
    // Takes the pending changes as the new state of the rows.
    void mergeChangeLog();
    // Writes the pending changes in a transaction of their own and merges
    // them; throws db::Error, leaving the cache as it was, when refused.
    void applyUpdates();
    // Withdraws every pending change: the rows are again as last read.
    void cancelUpdates();

    // --- local filter and order --------------------------------------------
    void setFilter(std::function<bool(const RowView &)> filter);
    // The same from a text such as "cd_produto <> 3 and (cd_fornecedor = 7)":
    // comparisons (= <> < > <= >=) of a field with a number or a 'text',
    // joined by and / or / not and parentheses. Throws Error when malformed.
    void setFilterText(const QString &expression);
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }
    // Orders the rows by these fields (ascending), like an index.
    void setIndexFieldNames(const QStringList &fields);

    // --- grids ---------------------------------------------------------------
    DatasetModel *model();

    // --- events a window hooks (one handler each; throw Abort to stop) ------
    std::function<void()> BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    std::function<void()> BeforeInsert, AfterInsert, OnNewRecord;
    std::function<void()> BeforeEdit, AfterEdit, BeforePost, AfterPost;
    std::function<void()> BeforeCancel, AfterCancel, BeforeDelete, AfterDelete;
    std::function<void()> BeforeScroll, AfterScroll;

Q_SIGNALS:
    // For widgets and detail datasets; windows use the handlers above.
    void opened();
    void closed();
    // A row is about to be posted: bound edits hand over what they hold.
    void aboutToPost();
    void scrolled();     // the current row changed
    void stateChanged(); // browse, insert, edit, inactive
    void valueChanged(const QString &field);
    void rowsChanged();  // rows added, removed, reordered or refreshed

private:
    struct Record
    {
        enum class Status { Unchanged, Inserted, Modified, Deleted };
        QVector<QVariant> original;
        QVector<QVariant> current;
        Status status = Status::Unchanged;
        bool wasInserted = false; // inserted since the last merge
    };
    struct Lookup
    {
        QString name, keyField, lookupKey, lookupResult;
        QPointer<Dataset> dataset;
    };
    struct Calculated
    {
        QString name;
        std::function<QVariant(const RowView &)> compute;
    };

    friend class RowView;
    friend class DatasetModel;

    QVariant recordValue(int record, int fieldIndex) const;
    int currentRecord() const { return m_current >= 0 ? m_visible[m_current] : -1; }
    void rebuildVisible(int keepRecord = -1, bool notifyModel = true);
    void moveTo(int row);
    void checkActive() const;
    void checkBrowse();
    void resolveUpdateTable();
    void startEditing(State state, int position);
    QVariant coerce(const Field &f, const QVariant &v) const;
    void masterMoved();
    void notifyRowsChanged();
    void fire(const std::function<void()> &handler) const
    {
        if (handler)
            handler();
    }

    Connection *m_connection = nullptr;
    QString m_sql;
    Params m_params;
    QString m_updateTable;
    QStringList m_keyFields;
    bool m_updateTableGiven = false;
    QStringList m_readOnly;

    State m_state = State::Inactive;
    QVector<Field> m_fields;           // fields of the statement
    int m_dataFieldCount = 0;          // then lookups, then calculated ones
    QVector<Lookup> m_lookups;
    QVector<Calculated> m_calculated;
    std::vector<Record> m_records;
    QVector<int> m_visible; // record indexes in view order
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    int m_editRecord = -1;             // record being inserted or altered
    int m_beforeInsert = -1;           // the current record when an insert began
    QVector<QVariant> m_editSaved;     // its values before alter
    std::function<bool(const RowView &)> m_filter;
    bool m_filtered = false;
    QStringList m_indexFields;
    QPointer<Dataset> m_master;
    QList<QPair<QString, QString>> m_masterLinks;
    DatasetModel *m_model = nullptr;
};

// The rows of a dataset as a table for grids. Columns are the dataset's
// fields unless the window lists its own (with titles); check-box columns
// show "S" as ticked.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        Column(QString f = {}, QString t = {}, int w = 0) : field(std::move(f)), title(std::move(t)), width(w) {}
        // A column shown as a check box ("S" ticked), editable when asked.
        static Column check(QString f, QString t, bool editable = false)
        {
            Column c(std::move(f), std::move(t));
            c.checkBox = true;
            c.readOnly = !editable;
            return c;
        }
        // A column shown with a display format ("#,##0.00", ",0.###").
        static Column formatted(QString f, QString t, QString fmt)
        {
            Column c(std::move(f), std::move(t));
            c.format = std::move(fmt);
            return c;
        }
        QString field;
        QString title;
        int width = 0;           // characters; 0 = the model decides
        bool checkBox = false;   // "S"/"N" shown and toggled as a check box
        bool readOnly = true;
        QString format;          // display format: "#,##0.00", ",0.###", "dd/MM/yyyy"
        Qt::Alignment alignment = {};
    };

    explicit DatasetModel(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }

    void setColumns(const QVector<Column> &columns);
    const QVector<Column> &columns() const { return m_columns; }
    int columnOf(const QString &field) const;
    // Default display format of a field wherever the model shows it.
    void setFieldFormat(const QString &field, const QString &format);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Text of a value as the grid shows it.
    QString displayText(const QVariant &value, const Field *field, const QString &format) const;

private:
    friend class Dataset;
    // Columns of every field, unless the window gave its own.
    void defaultColumns();

    Dataset *m_dataset;
    QVector<Column> m_columns;
    bool m_columnsGiven = false;
    QHash<QString, QString> m_formats;
};

// Brazilian display of numbers: "#,##0.00" gives 1.234,50; ",0.###" gives
// 1.234,5 (up to three decimals); "0.00" no thousands points. Empty format:
// the value's own decimals with a comma.
QString formatNumber(const Decimal &value, const QString &format);
QString formatNumber(double value, const QString &format);

} // namespace db
