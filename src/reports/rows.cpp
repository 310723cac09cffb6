// The rows a printout is filled with (see rows.h).

#include "reports/rows.h"

#include "db/database.h"

namespace reports {

bool Row::hasColumn(const QString &column) const
{
    return m_rows != nullptr && m_rows->hasColumn(column);
}

QVariant Row::value(const QString &column) const
{
    if (!isValid())
        return {};
    return m_rows->value(m_index, column);
}

Rows::Rows(const QStringList &columns)
{
    for (const QString &c : columns)
        addStoredColumn(c);
}

Rows Rows::fromResult(const db::Result &result)
{
    Rows rows;
    for (const db::Field &f : result.fields())
        rows.addStoredColumn(f.name);
    rows.m_values.reserve(result.rowCount());
    for (const QVector<QVariant> &r : result.rows())
        rows.append(QVariantList(r.begin(), r.end()));
    return rows;
}

Rows Rows::fromMaps(const QList<QVariantMap> &maps)
{
    Rows rows;
    for (const QVariantMap &m : maps)
        rows.append(m);
    return rows;
}

int Rows::addStoredColumn(const QString &name)
{
    if (const int existing = columnIndex(name); existing >= 0)
        return existing;
    // Stored columns come before the computed ones: shift those along.
    const int at = m_stored++;
    m_columns.insert(at, name);
    for (auto it = m_index.begin(); it != m_index.end(); ++it) {
        if (it.value() >= at)
            ++it.value();
    }
    m_index.insert(name.toUpper(), at);
    for (QVector<QVariant> &r : m_values)
        r.resize(m_stored);
    return at;
}

void Rows::append(const QVariantList &values)
{
    QVector<QVariant> row(m_stored);
    for (int i = 0; i < m_stored && i < values.size(); ++i)
        row[i] = values[i];
    m_values.append(std::move(row));
}

void Rows::append(const QVariantMap &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        addStoredColumn(it.key());
    QVector<QVariant> row(m_stored);
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (const int c = columnIndex(it.key()); c < m_stored)
            row[c] = it.value();
    }
    m_values.append(std::move(row));
}

void Rows::addColumn(const QString &name, Compute compute)
{
    const int existing = columnIndex(name);
    if (existing >= m_stored) {
        m_computed[existing - m_stored] = std::move(compute);
        return;
    }
    m_columns.append(name);
    m_index.insert(name.toUpper(), static_cast<int>(m_columns.size() - 1));
    m_computed.append(std::move(compute));
}

QStringList Rows::columns() const
{
    return m_columns;
}

int Rows::columnIndex(const QString &column) const
{
    return m_index.value(column.toUpper(), -1);
}

QVariant Rows::value(int row, const QString &column) const
{
    return value(row, columnIndex(column));
}

QVariant Rows::value(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= m_columns.size())
        return {};
    if (column < m_stored)
        return m_values[row][column];
    return m_computed[column - m_stored](Row(this, row));
}

Rows Rows::filtered(const std::function<bool(const Row &)> &keep) const
{
    Rows out = *this;
    out.m_values.clear();
    for (int i = 0; i < count(); ++i) {
        if (keep(row(i)))
            out.m_values.append(m_values[i]);
    }
    return out;
}

Rows Rows::subset(const QVector<int> &indexes) const
{
    Rows out = *this;
    out.m_values.clear();
    out.m_values.reserve(indexes.size());
    for (int i : indexes) {
        if (i >= 0 && i < count())
            out.m_values.append(m_values[i]);
    }
    return out;
}

} // namespace reports
