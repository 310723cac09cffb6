#pragma once

// The rows a printout is filled with: named columns (matched without regard
// to case, as the database names them) and their values, taken from a
// db::Result, from a list of QVariantMap, or appended one by one. Columns
// computed from the other columns of the same row (a line total, a looked
// up name) can be added and are then read like any other column.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QVector>

#include <functional>

namespace db {
class Result;
}

namespace reports {

class Rows;

// One row of a Rows, valid while the Rows lives.
class Row
{
public:
    Row() = default;
    Row(const Rows *rows, int index) : m_rows(rows), m_index(index) {}

    bool isValid() const { return m_rows != nullptr && m_index >= 0; }
    int index() const { return m_index; }
    const Rows *rows() const { return m_rows; }
    bool hasColumn(const QString &column) const;
    // Invalid QVariant for an unknown column.
    QVariant value(const QString &column) const;
    QVariant operator[](const QString &column) const { return value(column); }

private:
    const Rows *m_rows = nullptr;
    int m_index = -1;
};

class Rows
{
public:
    using Compute = std::function<QVariant(const Row &)>;

    Rows() = default;
    explicit Rows(const QStringList &columns);

    static Rows fromResult(const db::Result &result);
    // Columns in the order they first appear in the maps.
    static Rows fromMaps(const QList<QVariantMap> &maps);

    // Values in column order; missing trailing values are null.
    void append(const QVariantList &values);
    // Values by column name; names not yet known become new columns.
    void append(const QVariantMap &values);
    // A column whose value is computed from the row each time it is read;
    // it hides a stored column of the same name.
    void addColumn(const QString &name, Compute compute);

    int count() const { return static_cast<int>(m_values.size()); }
    bool isEmpty() const { return m_values.isEmpty(); }
    QStringList columns() const;
    // Case-insensitive; -1 when absent.
    int columnIndex(const QString &column) const;
    bool hasColumn(const QString &column) const { return columnIndex(column) >= 0; }

    Row row(int index) const { return Row(this, index); }
    QVariant value(int row, const QString &column) const;
    QVariant value(int row, int column) const;

    // The rows for which keep() is true, with the same columns.
    Rows filtered(const std::function<bool(const Row &)> &keep) const;
    // The rows at the given indexes, in that order, with the same columns.
    Rows subset(const QVector<int> &indexes) const;

private:
    int addStoredColumn(const QString &name);

    QStringList m_columns;                 // stored columns, then computed ones
    QHash<QString, int> m_index;           // upper-case name -> column
    QVector<QVector<QVariant>> m_values;   // stored values only
    QVector<Compute> m_computed;           // for the columns after the stored ones
    int m_stored = 0;
};

} // namespace reports
