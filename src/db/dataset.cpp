#include "db/dataset.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <algorithm>

namespace db {

namespace {

int compareVariants(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const QMetaType dec = QMetaType::fromType<Decimal>();
    if (a.metaType() == dec || b.metaType() == dec) {
        const auto c = Decimal::fromVariant(a) <=> Decimal::fromVariant(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const auto c = QVariant::compare(a, b);
    if (c == QPartialOrdering::Less)
        return -1;
    if (c == QPartialOrdering::Greater)
        return 1;
    if (c == QPartialOrdering::Equivalent)
        return 0;
    return QString::compare(a.toString(), b.toString());
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn;
    return compareVariants(a, b) == 0;
}

} // namespace

// ---------------------------------------------------------------------------

QVariant RowView::value(const QString &field) const
{
    const int f = m_dataset.fieldIndex(field);
    if (f < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(field));
    return m_dataset.recordValue(m_record, f);
}

// ---------------------------------------------------------------------------

Dataset::Dataset(Connection *connection, QObject *parent) : QObject(parent), m_connection(connection) {}

Dataset::Dataset(Connection *connection, const QString &sql, QObject *parent)
    : QObject(parent), m_connection(connection), m_sql(sql)
{
}

Dataset::~Dataset() = default;

void Dataset::setParam(const QString &name, const QVariant &value)
{
    for (Param &p : m_params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    }
    m_params.push_back({name, value});
}

QVariant Dataset::param(const QString &name) const
{
    for (const Param &p : m_params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return {};
}

void Dataset::setUpdateTable(const QString &table, const QStringList &keyFields)
{
    m_updateTable = table.toUpper();
    m_keyFields.clear();
    for (const QString &k : keyFields)
        m_keyFields << k.toUpper();
    m_updateTableGiven = true;
}

void Dataset::setReadOnlyFields(const QStringList &fields)
{
    m_readOnly.clear();
    for (const QString &f : fields)
        m_readOnly << f.toUpper();
}

void Dataset::addLookupField(const QString &name, const QString &keyField, Dataset *lookup, const QString &lookupKey,
                             const QString &lookupResult)
{
    m_lookups.append({name.toUpper(), keyField, lookupKey, lookupResult, lookup});
}

void Dataset::addCalculatedField(const QString &name, std::function<QVariant(const RowView &)> compute)
{
    m_calculated.append({name.toUpper(), std::move(compute)});
}

void Dataset::setMaster(Dataset *master, const QList<QPair<QString, QString>> &paramToMasterField)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    m_masterLinks = paramToMasterField;
    if (master) {
        connect(master, &Dataset::scrolled, this, &Dataset::masterMoved);
        connect(master, &Dataset::opened, this, &Dataset::masterMoved);
        connect(master, &Dataset::closed, this, &Dataset::close);
    }
}

void Dataset::masterMoved()
{
    if (!m_master || !m_master->isActive())
        return;
    if (m_master->isEditing() && m_master->state() == State::Insert)
        return; // a row being inserted has no details yet
    for (const auto &link : m_masterLinks)
        setParam(link.first, m_master->isEmpty() ? QVariant() : m_master->value(link.second));
    if (isActive())
        close();
    open();
}

// ---------------------------------------------------------------------------
// opening

void Dataset::open()
{
    if (isActive())
        return;
    if (!m_connection)
        throw Error(QStringLiteral("Conjunto de dados sem conexão"));
    fire(BeforeOpen);
    Result r = m_connection->execute(m_sql, m_params);
    if (m_model)
        m_model->beginResetModel();
    m_fields = r.fields();
    m_dataFieldCount = static_cast<int>(m_fields.size());
    for (const Lookup &l : m_lookups) {
        Field f;
        f.name = l.name;
        f.kind = Field::Kind::Text;
        if (l.dataset && l.dataset->isActive() && l.dataset->hasField(l.lookupResult))
            f = l.dataset->field(l.lookupResult), f.name = l.name, f.relation.clear(), f.column.clear();
        m_fields.append(f);
    }
    for (const Calculated &c : m_calculated) {
        Field f;
        f.name = c.name;
        m_fields.append(f);
    }
    m_records.clear();
    m_records.reserve(static_cast<size_t>(r.rowCount()));
    for (auto &row : r.rows()) {
        Record rec;
        rec.current = std::move(row);
        m_records.push_back(std::move(rec));
    }
    // originals share the rows' data until they change (implicit sharing)
    for (Record &rec : m_records)
        rec.original = rec.current;
    resolveUpdateTable();
    m_state = State::Browse;
    m_editRecord = -1;
    rebuildVisible(-1, false);
    m_current = m_visible.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.isEmpty();
    if (m_model) {
        m_model->defaultColumns();
        m_model->endResetModel();
    }
    fire(AfterOpen);
    Q_EMIT opened();
    Q_EMIT stateChanged();
    Q_EMIT scrolled();
}

void Dataset::close()
{
    if (!isActive())
        return;
    fire(BeforeClose);
    if (m_model)
        m_model->beginResetModel();
    m_records.clear();
    m_visible.clear();
    m_current = -1;
    m_editRecord = -1;
    m_state = State::Inactive;
    if (m_model)
        m_model->endResetModel();
    fire(AfterClose);
    Q_EMIT closed();
    Q_EMIT stateChanged();
}

void Dataset::refresh()
{
    QVector<QVariant> key;
    if (!isEmpty()) {
        for (const QString &k : m_keyFields)
            key << value(k);
    }
    close();
    open();
    if (key.isEmpty() || m_keyFields.isEmpty())
        return;
    for (int row = 0; row < m_visible.size(); ++row) {
        bool match = true;
        for (int i = 0; i < m_keyFields.size() && match; ++i)
            match = sameValue(value(row, m_keyFields[i]), key[i]);
        if (match) {
            moveTo(row);
            return;
        }
    }
}

void Dataset::resolveUpdateTable()
{
    if (!m_updateTableGiven) {
        QString table;
        for (int i = 0; i < m_dataFieldCount; ++i) {
            const QString &rel = m_fields[i].relation;
            if (rel.isEmpty())
                continue;
            if (table.isEmpty())
                table = rel;
            else if (table != rel) {
                table.clear();
                break;
            }
        }
        if (table != m_updateTable)
            m_keyFields.clear();
        m_updateTable = table;
    }
    if (m_updateTable.isEmpty() || !m_keyFields.isEmpty())
        return;
    const Result keys = m_connection->execute(
        QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) AS F FROM RDB$RELATION_CONSTRAINTS C "
                       "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                       "WHERE C.RDB$RELATION_NAME = :T AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                       "ORDER BY S.RDB$FIELD_POSITION"),
        {{QStringLiteral("T"), m_updateTable}});
    for (const auto &row : keys.rows())
        m_keyFields << row[0].toString();
}

// ---------------------------------------------------------------------------
// fields and values

int Dataset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const Field &Dataset::field(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(name));
    return m_fields[i];
}

QStringList Dataset::fieldNames() const
{
    QStringList names;
    for (const Field &f : m_fields)
        names << f.name;
    return names;
}

QVariant Dataset::recordValue(int record, int f) const
{
    if (record < 0)
        return {};
    if (f < m_dataFieldCount)
        return m_records[static_cast<size_t>(record)].current[f];
    const int l = f - m_dataFieldCount;
    if (l < m_lookups.size()) {
        const Lookup &lk = m_lookups[l];
        if (!lk.dataset)
            return {};
        const int keyIndex = fieldIndex(lk.keyField);
        if (keyIndex < 0)
            return {};
        return lk.dataset->lookup(lk.lookupKey, recordValue(record, keyIndex), lk.lookupResult);
    }
    const int c = l - static_cast<int>(m_lookups.size());
    if (c < m_calculated.size() && m_calculated[c].compute)
        return m_calculated[c].compute(RowView(*this, record));
    return {};
}

QVariant Dataset::value(const QString &name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(name));
    return recordValue(currentRecord(), f);
}

QVariant Dataset::value(int row, const QString &name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(name));
    if (row < 0 || row >= m_visible.size())
        return {};
    return recordValue(m_visible[row], f);
}

Decimal Dataset::decimal(const QString &name) const
{
    const Field &f = field(name);
    return Decimal::fromVariant(value(name), f.kind == Field::Kind::Decimal ? f.scale : 2);
}

bool Dataset::isNull(const QString &name) const
{
    const QVariant v = value(name);
    return !v.isValid() || v.isNull();
}

QVariant Dataset::coerce(const Field &f, const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (f.kind) {
    case Field::Kind::Text:
    case Field::Kind::Char: {
        QString s = v.metaType() == QMetaType::fromType<Decimal>() ? v.value<Decimal>().toString() : v.toString();
        if (f.length > 0 && s.size() > f.length)
            s.truncate(f.length);
        if (f.kind == Field::Kind::Char && f.length > 0 && s.size() < f.length)
            s = s.leftJustified(f.length, u' ');
        return s;
    }
    case Field::Kind::Integer: {
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            bool ok = false;
            const qlonglong n = s.toLongLong(&ok);
            if (!ok)
                throw Error(QStringLiteral("'%1' não é um valor inteiro válido").arg(s));
            return n;
        }
        if (v.metaType() == QMetaType::fromType<Decimal>())
            return v.value<Decimal>().rescaled(0).units();
        return v.toLongLong();
    }
    case Field::Kind::Decimal: {
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            const auto d = Decimal::parse(s);
            if (!d)
                throw Error(QStringLiteral("'%1' não é um valor numérico válido").arg(s));
            return d->rescaled(f.scale).toVariant();
        }
        return Decimal::fromVariant(v, f.scale).rescaled(f.scale).toVariant();
    }
    case Field::Kind::Double: {
        if (v.metaType() == QMetaType::fromType<Decimal>())
            return v.value<Decimal>().toDouble();
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            const auto d = Decimal::parse(s);
            if (!d)
                throw Error(QStringLiteral("'%1' não é um valor numérico válido").arg(s));
            return d->toDouble();
        }
        return v.toDouble();
    }
    case Field::Kind::Date: {
        if (v.metaType() == QMetaType::fromType<QDateTime>())
            return v.toDateTime().date();
        const QDate d = v.toDate();
        return d.isValid() ? QVariant(d) : QVariant();
    }
    default:
        return v;
    }
}

void Dataset::setValue(const QString &name, const QVariant &v)
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(name));
    if (!isEditing())
        throw Error(QStringLiteral("O conjunto de dados não está em edição"));
    if (f >= m_dataFieldCount)
        return; // lookups and calculated columns follow their sources
    QVariant &slot = m_records[static_cast<size_t>(m_editRecord)].current[f];
    const QVariant c = coerce(m_fields[f], v);
    if (sameValue(slot, c) && slot.isValid() == c.isValid())
        return;
    slot = c;
    if (m_model && m_current >= 0)
        Q_EMIT m_model->dataChanged(m_model->index(m_current, 0),
                                    m_model->index(m_current, m_model->columnCount() - 1));
    Q_EMIT valueChanged(m_fields[f].name);
}

// ---------------------------------------------------------------------------
// navigation

void Dataset::checkActive() const
{
    if (!isActive())
        throw Error(QStringLiteral("O conjunto de dados está fechado"));
}

void Dataset::checkBrowse()
{
    checkActive();
    if (isEditing())
        post();
}

void Dataset::moveTo(int row)
{
    if (m_visible.isEmpty())
        return;
    if (isEditing()) {
        // the row being edited is posted first: its handlers may change
        // the rows, so the target is reckoned afterwards
        post();
        if (m_visible.isEmpty())
            return;
    }
    const int target = std::clamp(row, 0, static_cast<int>(m_visible.size()) - 1);
    if (target == m_current)
        return;
    fire(BeforeScroll);
    m_current = target;
    fire(AfterScroll);
    Q_EMIT scrolled();
}

void Dataset::setRecNo(int row)
{
    checkActive();
    moveTo(row);
    m_bof = m_eof = m_visible.isEmpty();
}

void Dataset::first()
{
    checkActive();
    moveTo(0);
    m_bof = true;
    m_eof = m_visible.isEmpty();
}

void Dataset::last()
{
    checkActive();
    moveTo(static_cast<int>(m_visible.size()) - 1);
    m_eof = true;
    m_bof = m_visible.isEmpty();
}

void Dataset::next()
{
    checkActive();
    if (m_current + 1 >= m_visible.size()) {
        checkBrowse();
        m_eof = true;
        return;
    }
    moveTo(m_current + 1);
    m_bof = m_eof = false;
}

void Dataset::prior()
{
    checkActive();
    if (m_current <= 0) {
        checkBrowse();
        m_bof = true;
        return;
    }
    moveTo(m_current - 1);
    m_bof = m_eof = false;
}

bool Dataset::locate(const QString &fieldName, const QVariant &v, bool caseInsensitive, bool partial)
{
    checkActive();
    const int f = fieldIndex(fieldName);
    if (f < 0)
        throw Error(QStringLiteral("Campo desconhecido: %1").arg(fieldName));
    const bool textual = v.metaType().id() == QMetaType::QString || partial || caseInsensitive;
    const QString wanted = v.toString();
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int row = 0; row < m_visible.size(); ++row) {
        const QVariant have = recordValue(m_visible[row], f);
        bool match;
        if (textual && (m_fields[f].kind == Field::Kind::Text || m_fields[f].kind == Field::Kind::Char || partial)) {
            const QString s = have.toString();
            match = partial ? s.startsWith(wanted, cs) : s.compare(wanted, cs) == 0;
        } else {
            match = sameValue(have, coerce(m_fields[f], v));
        }
        if (match) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

QVariant Dataset::lookup(const QString &keyField, const QVariant &key, const QString &resultField) const
{
    if (!isActive() || !key.isValid() || key.isNull())
        return {};
    const int k = fieldIndex(keyField);
    const int r = fieldIndex(resultField);
    if (k < 0 || r < 0)
        return {};
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].status == Record::Status::Deleted)
            continue;
        if (sameValue(m_records[i].current[k], key))
            return recordValue(static_cast<int>(i), r);
    }
    return {};
}

// ---------------------------------------------------------------------------
// editing

void Dataset::startEditing(State state, int position)
{
    m_beforeInsert = currentRecord();
    Record rec;
    rec.current = QVector<QVariant>(m_dataFieldCount);
    rec.original = rec.current;
    rec.status = Record::Status::Inserted;
    rec.wasInserted = true;
    m_records.push_back(std::move(rec));
    const int record = static_cast<int>(m_records.size()) - 1;
    const int at = std::clamp(position, 0, static_cast<int>(m_visible.size()));
    if (m_model)
        m_model->beginInsertRows({}, at, at);
    m_visible.insert(at, record);
    m_current = at;
    m_editRecord = record;
    m_state = state;
    m_bof = m_eof = false;
    if (m_model)
        m_model->endInsertRows();
}

void Dataset::insert()
{
    checkBrowse();
    fire(BeforeInsert);
    fire(BeforeScroll);
    startEditing(State::Insert, m_current < 0 ? 0 : m_current);
    Q_EMIT stateChanged();
    fire(OnNewRecord);
    fire(AfterInsert);
    fire(AfterScroll);
    Q_EMIT scrolled();
}

void Dataset::append()
{
    checkBrowse();
    fire(BeforeInsert);
    fire(BeforeScroll);
    startEditing(State::Insert, static_cast<int>(m_visible.size()));
    Q_EMIT stateChanged();
    fire(OnNewRecord);
    fire(AfterInsert);
    fire(AfterScroll);
    Q_EMIT scrolled();
}

void Dataset::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (m_visible.isEmpty()) {
        insert();
        return;
    }
    fire(BeforeEdit);
    m_editRecord = currentRecord();
    m_editSaved = m_records[static_cast<size_t>(m_editRecord)].current;
    m_state = State::Edit;
    Q_EMIT stateChanged();
    fire(AfterEdit);
}

void Dataset::post()
{
    checkActive();
    if (!isEditing())
        return;
    Q_EMIT aboutToPost();
    fire(BeforePost);
    Record &rec = m_records[static_cast<size_t>(m_editRecord)];
    if (m_state == State::Edit && rec.status == Record::Status::Unchanged) {
        bool changed = false;
        for (int i = 0; i < m_dataFieldCount && !changed; ++i)
            changed = !sameValue(rec.current[i], rec.original[i]);
        if (changed)
            rec.status = Record::Status::Modified;
    }
    m_state = State::Browse;
    m_editRecord = -1;
    m_editSaved.clear();
    // the row takes its place in the order, if there is one
    if (!m_indexFields.isEmpty() || m_filtered)
        rebuildVisible(currentRecord());
    Q_EMIT stateChanged();
    fire(AfterPost);
}

void Dataset::cancel()
{
    checkActive();
    if (!isEditing())
        return;
    fire(BeforeCancel);
    if (m_state == State::Insert) {
        // leave the editing state before telling the views, which may call
        // back while the row goes away
        const int at = m_current;
        const int record = m_editRecord;
        int voltaPara = m_beforeInsert > record ? m_beforeInsert - 1 : m_beforeInsert;
        m_state = State::Browse;
        m_editRecord = -1;
        if (m_model)
            m_model->beginRemoveRows({}, at, at);
        m_visible.removeAt(at);
        m_records.erase(m_records.begin() + record);
        for (int &r : m_visible) {
            if (r > record)
                --r;
        }
        // back on the row that was current before the insert
        m_current = static_cast<int>(m_visible.indexOf(voltaPara));
        if (m_current < 0)
            m_current = m_visible.isEmpty() ? -1 : std::min(at, static_cast<int>(m_visible.size()) - 1);
        if (m_model)
            m_model->endRemoveRows();
        m_bof = m_current <= 0;
        m_eof = m_visible.isEmpty();
        Q_EMIT stateChanged();
        fire(AfterCancel);
        Q_EMIT scrolled();
        return;
    }
    m_records[static_cast<size_t>(m_editRecord)].current = m_editSaved;
    m_state = State::Browse;
    m_editRecord = -1;
    m_editSaved.clear();
    if (m_model && m_current >= 0)
        Q_EMIT m_model->dataChanged(m_model->index(m_current, 0),
                                    m_model->index(m_current, m_model->columnCount() - 1));
    Q_EMIT stateChanged();
    fire(AfterCancel);
    Q_EMIT scrolled();
}

void Dataset::remove()
{
    checkActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_visible.isEmpty())
        throw Error(QStringLiteral("Não é possível apagar: o conjunto de dados está vazio"));
    if (m_state == State::Edit)
        cancel();
    fire(BeforeDelete);
    const int at = m_current;
    const int record = m_visible[at];
    if (m_model)
        m_model->beginRemoveRows({}, at, at);
    m_visible.removeAt(at);
    if (m_records[static_cast<size_t>(record)].wasInserted) {
        m_records.erase(m_records.begin() + record);
        for (int &r : m_visible) {
            if (r > record)
                --r;
        }
    } else {
        m_records[static_cast<size_t>(record)].status = Record::Status::Deleted;
    }
    m_current = m_visible.isEmpty() ? -1 : std::min(at, static_cast<int>(m_visible.size()) - 1);
    if (m_model)
        m_model->endRemoveRows();
    m_bof = m_current <= 0;
    m_eof = m_visible.isEmpty();
    fire(AfterDelete);
    Q_EMIT scrolled();
}

// ---------------------------------------------------------------------------
// writing

int Dataset::changeCount() const
{
    int n = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const Record &r = m_records[i];
        if (static_cast<int>(i) == m_editRecord && m_state == State::Insert)
            continue; // not posted yet
        if (r.status == Record::Status::Deleted)
            n += r.wasInserted ? 0 : 1;
        else if (r.status != Record::Status::Unchanged || r.wasInserted)
            ++n;
    }
    return n;
}

void Dataset::writeChanges(Transaction &tx) const
{
    if (changeCount() == 0)
        return;
    if (m_updateTable.isEmpty())
        throw Error(QStringLiteral("Não há tabela para gravar as alterações"));
    if (m_keyFields.isEmpty())
        throw Error(QStringLiteral("A tabela %1 não tem chave primária").arg(m_updateTable));

    auto writable = [&](int f) {
        const Field &fd = m_fields[f];
        return f < m_dataFieldCount && fd.relation == m_updateTable && !fd.column.isEmpty()
               && !m_readOnly.contains(fd.name.toUpper());
    };
    auto keyWhere = [&](const Record &rec, Params &params) {
        QStringList parts;
        for (const QString &k : m_keyFields) {
            int f = -1;
            for (int i = 0; i < m_dataFieldCount; ++i) {
                if (m_fields[i].column == k && m_fields[i].relation == m_updateTable) {
                    f = i;
                    break;
                }
            }
            if (f < 0)
                throw Error(QStringLiteral("A chave %1 não foi lida de %2").arg(k, m_updateTable));
            parts << k + QStringLiteral(" = ?");
            params.push_back({QString(), rec.original[f]});
        }
        return parts.join(QStringLiteral(" AND "));
    };
    auto refused = [&]() {
        return Error(QStringLiteral("Registro não encontrado ou alterado por outro usuário (%1)").arg(m_updateTable));
    };

    // deletions first, so that a key freed by a deletion may be used again
    for (const Record &rec : m_records) {
        if (rec.status != Record::Status::Deleted || rec.wasInserted)
            continue;
        Params params;
        const QString where = keyWhere(rec, params);
        const Result r = tx.execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_updateTable, where), params);
        if (r.affectedRows() == 0)
            throw refused();
    }
    for (size_t i = 0; i < m_records.size(); ++i) {
        const Record &rec = m_records[i];
        if (rec.status != Record::Status::Modified || rec.wasInserted)
            continue;
        if (static_cast<int>(i) == m_editRecord)
            continue;
        QStringList sets;
        Params params;
        for (int f = 0; f < m_dataFieldCount; ++f) {
            if (!writable(f) || sameValue(rec.current[f], rec.original[f]))
                continue;
            sets << m_fields[f].column + QStringLiteral(" = ?");
            params.push_back({QString(), rec.current[f]});
        }
        if (sets.isEmpty())
            continue;
        const QString where = keyWhere(rec, params);
        const Result r = tx.execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_updateTable, sets.join(QStringLiteral(", ")), where),
            params);
        if (r.affectedRows() == 0)
            throw refused();
    }
    for (size_t i = 0; i < m_records.size(); ++i) {
        const Record &rec = m_records[i];
        if (!rec.wasInserted || rec.status == Record::Status::Deleted)
            continue;
        if (static_cast<int>(i) == m_editRecord && m_state == State::Insert)
            continue;
        QStringList cols, marks;
        Params params;
        for (int f = 0; f < m_dataFieldCount; ++f) {
            const QVariant &v = rec.current[f];
            if (!writable(f) || !v.isValid() || v.isNull())
                continue;
            cols << m_fields[f].column;
            marks << QStringLiteral("?");
            params.push_back({QString(), v});
        }
        if (cols.isEmpty())
            throw Error(QStringLiteral("Registro vazio não pode ser gravado em %1").arg(m_updateTable));
        tx.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(m_updateTable, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                   params);
    }
}

void Dataset::mergeChangeLog()
{
    const int keep = currentRecord();
    int keepAfter = -1;
    std::vector<Record> kept;
    kept.reserve(m_records.size());
    for (size_t i = 0; i < m_records.size(); ++i) {
        Record &rec = m_records[i];
        const bool pendingInsert = static_cast<int>(i) == m_editRecord && m_state == State::Insert;
        if (rec.status == Record::Status::Deleted)
            continue;
        if (!pendingInsert) {
            rec.original = rec.current;
            rec.status = Record::Status::Unchanged;
            rec.wasInserted = false;
        }
        if (static_cast<int>(i) == keep)
            keepAfter = static_cast<int>(kept.size());
        if (static_cast<int>(i) == m_editRecord)
            m_editRecord = static_cast<int>(kept.size());
        kept.push_back(std::move(rec));
    }
    m_records = std::move(kept);
    rebuildVisible(keepAfter);
}

void Dataset::applyUpdates()
{
    checkActive();
    if (isEditing())
        post();
    if (changeCount() == 0)
        return;
    m_connection->transaction([&](Transaction &tx) { writeChanges(tx); });
    mergeChangeLog();
}

void Dataset::cancelUpdates()
{
    if (!isActive())
        return;
    if (isEditing())
        cancel();
    const int keepRow = m_current;
    std::vector<Record> kept;
    kept.reserve(m_records.size());
    for (Record &rec : m_records) {
        if (rec.wasInserted)
            continue;
        rec.current = rec.original;
        rec.status = Record::Status::Unchanged;
        kept.push_back(std::move(rec));
    }
    m_records = std::move(kept);
    rebuildVisible();
    m_current = m_visible.isEmpty() ? -1 : std::clamp(keepRow, 0, static_cast<int>(m_visible.size()) - 1);
    m_bof = m_current <= 0;
    m_eof = m_visible.isEmpty();
    Q_EMIT scrolled();
}

// ---------------------------------------------------------------------------
// filter and order

void Dataset::setFilter(std::function<bool(const RowView &)> filter)
{
    m_filter = std::move(filter);
    if (isActive() && m_filtered) {
        rebuildVisible(currentRecord());
        if (m_current < 0 && !m_visible.isEmpty())
            m_current = 0;
        Q_EMIT scrolled();
    }
}

namespace {

// A small recursive-descent reader of filter texts.
class FilterParser
{
public:
    using Predicate = std::function<bool(const RowView &)>;
    explicit FilterParser(const QString &text) : m_text(text) {}

    Predicate parse()
    {
        Predicate p = orExpr();
        skipSpace();
        if (m_pos < m_text.size())
            fail();
        return p;
    }

private:
    [[noreturn]] void fail() const
    {
        throw Error(QStringLiteral("Filtro inválido: %1").arg(m_text));
    }
    void skipSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    bool keyword(QStringView word)
    {
        skipSpace();
        if (QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = m_pos + word.size();
        if (after < m_text.size() && (m_text[after].isLetterOrNumber() || m_text[after] == u'_'))
            return false;
        m_pos = after;
        return true;
    }
    Predicate orExpr()
    {
        Predicate left = andExpr();
        while (keyword(u"or")) {
            Predicate right = andExpr();
            left = [left, right](const RowView &r) { return left(r) || right(r); };
        }
        return left;
    }
    Predicate andExpr()
    {
        Predicate left = notExpr();
        while (keyword(u"and")) {
            Predicate right = notExpr();
            left = [left, right](const RowView &r) { return left(r) && right(r); };
        }
        return left;
    }
    Predicate notExpr()
    {
        if (keyword(u"not")) {
            Predicate inner = notExpr();
            return [inner](const RowView &r) { return !inner(r); };
        }
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == u'(') {
            ++m_pos;
            Predicate inner = orExpr();
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != u')')
                fail();
            ++m_pos;
            return inner;
        }
        return comparison();
    }
    Predicate comparison()
    {
        skipSpace();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
            ++m_pos;
        const QString field = m_text.mid(start, m_pos - start);
        if (field.isEmpty())
            fail();
        skipSpace();
        QString op;
        for (const char *candidate : {"<>", "!=", "<=", ">=", "=", "<", ">"}) {
            const QString c = QString::fromLatin1(candidate);
            if (QStringView(m_text).mid(m_pos, c.size()) == c) {
                op = c;
                m_pos += c.size();
                break;
            }
        }
        if (op.isEmpty())
            fail();
        skipSpace();
        QVariant literal;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\'') {
            QString s;
            ++m_pos;
            while (m_pos < m_text.size()) {
                if (m_text[m_pos] == u'\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\'') {
                        s += u'\'';
                        m_pos += 2;
                        continue;
                    }
                    break;
                }
                s += m_text[m_pos++];
            }
            if (m_pos >= m_text.size())
                fail();
            ++m_pos;
            literal = s;
        } else {
            const qsizetype numStart = m_pos;
            while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.' || m_text[m_pos] == u'-'))
                ++m_pos;
            const auto d = Decimal::parse(QStringView(m_text).mid(numStart, m_pos - numStart));
            if (!d)
                fail();
            literal = d->toVariant();
        }
        return [field, op, literal](const RowView &r) {
            const QVariant v = r.value(field);
            int c;
            if (literal.metaType().id() == QMetaType::QString)
                c = QString::compare(v.toString().trimmed(), literal.toString().trimmed());
            else if (!v.isValid() || v.isNull())
                return op == QLatin1String("<>") || op == QLatin1String("!=");
            else
                c = compareVariants(Decimal::fromVariant(v, 6).toVariant(), literal);
            if (op == QLatin1String("="))
                return c == 0;
            if (op == QLatin1String("<>") || op == QLatin1String("!="))
                return c != 0;
            if (op == QLatin1String("<"))
                return c < 0;
            if (op == QLatin1String(">"))
                return c > 0;
            if (op == QLatin1String("<="))
                return c <= 0;
            return c >= 0;
        };
    }

    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace

void Dataset::setFilterText(const QString &expression)
{
    setFilter(FilterParser(expression).parse());
}

void Dataset::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    if (isActive()) {
        checkBrowse();
        rebuildVisible(currentRecord());
        if (m_current < 0 && !m_visible.isEmpty())
            m_current = 0;
        m_bof = m_current <= 0;
        m_eof = m_visible.isEmpty();
        Q_EMIT scrolled();
    }
}

void Dataset::setIndexFieldNames(const QStringList &fields)
{
    m_indexFields = fields;
    if (isActive())
        rebuildVisible(currentRecord());
}

void Dataset::rebuildVisible(int keepRecord, bool notifyModel)
{
    notifyModel = notifyModel && m_model;
    if (notifyModel)
        Q_EMIT m_model->layoutAboutToBeChanged();
    m_visible.clear();
    m_visible.reserve(static_cast<qsizetype>(m_records.size()));
    for (size_t i = 0; i < m_records.size(); ++i) {
        const Record &rec = m_records[i];
        if (rec.status == Record::Status::Deleted)
            continue;
        const bool editing = static_cast<int>(i) == m_editRecord;
        if (m_filtered && m_filter && !editing && !m_filter(RowView(*this, static_cast<int>(i))))
            continue;
        m_visible.append(static_cast<int>(i));
    }
    if (!m_indexFields.isEmpty()) {
        QVector<int> idx;
        for (const QString &f : m_indexFields)
            idx << fieldIndex(f);
        std::stable_sort(m_visible.begin(), m_visible.end(), [&](int a, int b) {
            for (int f : idx) {
                if (f < 0)
                    continue;
                const int c = compareVariants(recordValue(a, f), recordValue(b, f));
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }
    m_current = -1;
    if (keepRecord >= 0)
        m_current = static_cast<int>(m_visible.indexOf(keepRecord));
    if (m_current < 0 && keepRecord >= 0 && !m_visible.isEmpty())
        m_current = 0;
    if (notifyModel)
        Q_EMIT m_model->layoutChanged();
    Q_EMIT rowsChanged();
}

DatasetModel *Dataset::model()
{
    if (!m_model)
        m_model = new DatasetModel(this);
    return m_model;
}

// ---------------------------------------------------------------------------
// DatasetModel

DatasetModel::DatasetModel(Dataset *dataset) : QAbstractTableModel(dataset), m_dataset(dataset)
{
    defaultColumns();
}

void DatasetModel::setColumns(const QVector<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_columnsGiven = true;
    endResetModel();
}

void DatasetModel::defaultColumns()
{
    if (m_columnsGiven)
        return;
    m_columns.clear();
    for (const Field &f : m_dataset->fields()) {
        Column c;
        c.field = f.name;
        c.title = f.name;
        m_columns.append(c);
    }
}

int DatasetModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void DatasetModel::setFieldFormat(const QString &field, const QString &format)
{
    m_formats.insert(field.toUpper(), format);
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_dataset->recordCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString DatasetModel::displayText(const QVariant &v, const Field *field, const QString &format) const
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return formatNumber(v.value<Decimal>(), format);
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatNumber(v.toDouble(), format);
    case QMetaType::QDate:
        return v.toDate().toString(format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : format);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(format.isEmpty() ? QStringLiteral("dd/MM/yyyy hh:mm:ss") : format);
    case QMetaType::Int:
    case QMetaType::LongLong:
        if (!format.isEmpty())
            return formatNumber(Decimal::fromInt(v.toLongLong()), format);
        return v.toString();
    default:
        break;
    }
    Q_UNUSED(field);
    return v.toString();
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    const Column &c = m_columns[index.column()];
    const int fi = m_dataset->fieldIndex(c.field);
    if (fi < 0)
        return {};
    const QVariant v = m_dataset->value(index.row(), c.field);
    switch (role) {
    case Qt::DisplayRole: {
        if (c.checkBox)
            return {};
        const QString format = !c.format.isEmpty() ? c.format : m_formats.value(c.field.toUpper());
        return displayText(v, &m_dataset->fields()[fi], format);
    }
    case Qt::EditRole:
        return v;
    case Qt::CheckStateRole:
        if (!c.checkBox)
            return {};
        return v.toString().trimmed() == QStringLiteral("S") ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole: {
        if (c.alignment)
            return static_cast<int>(c.alignment);
        const Field::Kind k = m_dataset->fields()[fi].kind;
        if (k == Field::Kind::Decimal || k == Field::Kind::Double || k == Field::Kind::Integer)
            return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
        return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return false;
    const Column &c = m_columns[index.column()];
    if (c.readOnly)
        return false;
    if (index.row() != m_dataset->recNo())
        m_dataset->setRecNo(index.row());
    m_dataset->edit();
    if (c.checkBox && role == Qt::CheckStateRole) {
        const bool checked = value.toInt() == Qt::Checked;
        m_dataset->setValue(c.field, checked ? QStringLiteral("S") : QStringLiteral("N"));
    } else if (role == Qt::EditRole) {
        m_dataset->setValue(c.field, value);
    } else {
        return false;
    }
    Q_EMIT dataChanged(index, index);
    return true;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns[section].title;
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Column &c = m_columns[index.column()];
    if (!c.readOnly)
        f |= c.checkBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

// ---------------------------------------------------------------------------
// number formats

QString formatNumber(const Decimal &value, const QString &format)
{
    if (format.isEmpty())
        return value.toBrazilian();
    // decimals: digits after the point; '#' optional, '0' fixed
    const qsizetype point = format.indexOf(u'.');
    int fixed = 0, optional = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < format.size(); ++i) {
            if (format[i] == u'0')
                ++fixed;
            else if (format[i] == u'#')
                ++optional;
        }
    }
    const bool thousands = format.contains(u',');
    Decimal d = value.rescaled(fixed + optional);
    QString s = d.toString(); // "-1234.5600"
    bool negative = s.startsWith(u'-');
    if (negative)
        s.remove(0, 1);
    QString intPart = s, frac;
    const qsizetype p = s.indexOf(u'.');
    if (p >= 0) {
        intPart = s.left(p);
        frac = s.mid(p + 1);
    }
    while (frac.size() > fixed && frac.endsWith(u'0'))
        frac.chop(1);
    if (thousands) {
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, u'.');
    }
    if (d.isZero())
        negative = false;
    QString out = intPart;
    if (!frac.isEmpty())
        out += u',' + frac;
    return negative ? u'-' + out : out;
}

QString formatNumber(double value, const QString &format)
{
    if (format.isEmpty())
        return QString::number(value, 'g', 15).replace(u'.', u',');
    int decimals = 0;
    const qsizetype point = format.indexOf(u'.');
    if (point >= 0)
        decimals = static_cast<int>(format.size() - point - 1);
    return formatNumber(Decimal::fromDouble(value, decimals), format);
}

} // namespace db
