#include "db/database.h"

#include <firebird/Interface.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <unistd.h>
#include <unordered_map>

using namespace Firebird;

namespace db {

namespace {

constexpr unsigned kDialect = 3;
constexpr int kLockTimeoutSeconds = 30;

bool g_encerrado = false;

IMaster *master()
{
    static IMaster *m = [] {
        prepareEmbeddedEnvironment();
        registerDecimalType();
        return fb_get_master_interface();
    }();
    return m;
}

IUtil *util()
{
    return master()->getUtilInterface();
}

// A status wrapper that throws FbException and frees itself.
class Status : public ThrowStatusWrapper
{
public:
    Status() : ThrowStatusWrapper(master()->getStatus()) {}
    ~Status() { dispose(); }
};

Error toError(const FbException &e)
{
    IStatus *status = e.getStatus();
    char buffer[4096];
    util()->formatStatus(buffer, sizeof buffer, status);
    QString message = QString::fromLatin1(buffer).trimmed();

    // A PSQL exception arrives as isc_except followed by isc_random
    // strings: the exception's name, then its message. Keep the last one.
    std::vector<long> codes;
    QString exceptionText;
    const intptr_t *v = status->getErrors();
    bool inException = false;
    while (v && *v != isc_arg_end) {
        const intptr_t kind = v[0];
        const intptr_t arg = v[1];
        if (kind == isc_arg_gds) {
            codes.push_back(static_cast<long>(arg));
            if (arg == isc_except || arg == isc_except2)
                inException = true;
            else if (arg != isc_random)
                inException = false;
        } else if (kind == isc_arg_string && inException && arg) {
            exceptionText = QString::fromLatin1(reinterpret_cast<const char *>(arg));
        } else if (kind == isc_arg_cstring) {
            v += 3; // length and pointer
            continue;
        }
        v += 2;
    }
    return Error(message, std::move(codes), exceptionText);
}

std::vector<unsigned char> transactionParameters(bool readOnly)
{
    std::vector<unsigned char> tpb = {
        isc_tpb_version3,
        static_cast<unsigned char>(readOnly ? isc_tpb_read : isc_tpb_write),
        isc_tpb_read_committed,
        isc_tpb_rec_version,
    };
    if (readOnly) {
        tpb.push_back(isc_tpb_nowait);
    } else {
        tpb.push_back(isc_tpb_wait);
        tpb.push_back(isc_tpb_lock_timeout);
        tpb.push_back(4);
        const int t = kLockTimeoutSeconds;
        tpb.push_back(static_cast<unsigned char>(t & 0xff));
        tpb.push_back(static_cast<unsigned char>((t >> 8) & 0xff));
        tpb.push_back(static_cast<unsigned char>((t >> 16) & 0xff));
        tpb.push_back(static_cast<unsigned char>((t >> 24) & 0xff));
    }
    return tpb;
}

QDate decodeDate(ISC_DATE d)
{
    unsigned y = 0, m = 0, day = 0;
    util()->decodeDate(d, &y, &m, &day);
    return QDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(day));
}

QTime decodeTime(ISC_TIME t)
{
    unsigned h = 0, m = 0, s = 0, f = 0;
    util()->decodeTime(t, &h, &m, &s, &f);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s), static_cast<int>(f / 10));
}

ISC_DATE encodeDate(const QDate &d)
{
    return util()->encodeDate(static_cast<unsigned>(d.year()), static_cast<unsigned>(d.month()),
                              static_cast<unsigned>(d.day()));
}

ISC_TIME encodeTime(const QTime &t)
{
    return util()->encodeTime(static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
                              static_cast<unsigned>(t.second()), static_cast<unsigned>(t.msec() * 10));
}

Field::Kind kindOf(unsigned type, int subType, int scale)
{
    switch (type & ~1u) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return scale < 0 ? Field::Kind::Decimal : Field::Kind::Integer;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Field::Kind::Double;
    case SQL_TEXT:
        return Field::Kind::Char;
    case SQL_VARYING:
        return Field::Kind::Text;
    case SQL_TYPE_DATE:
        return Field::Kind::Date;
    case SQL_TYPE_TIME:
        return Field::Kind::Time;
    case SQL_TIMESTAMP:
        return Field::Kind::Timestamp;
    case SQL_BLOB:
        return subType == 1 ? Field::Kind::TextBlob : Field::Kind::Blob;
    case SQL_BOOLEAN:
        return Field::Kind::Boolean;
    case SQL_NULL:
        return Field::Kind::Null;
    default:
        return Field::Kind::Text;
    }
}

Error conversionError(const Field &f, const QVariant &value)
{
    return Error(QStringLiteral("Valor inválido para o parâmetro %1: \"%2\"").arg(f.name, value.toString()));
}

QString storedText(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDate>())
        return value.toDate().toString(Qt::ISODate);
    return value.toString();
}

} // namespace

// ---------------------------------------------------------------------------
// Error

Error::Error(const QString &message, std::vector<long> codes, QString exceptionText)
    : std::runtime_error(message.toStdString()), m_message(message), m_codes(std::move(codes)),
      m_exceptionText(std::move(exceptionText))
{
}

bool Error::hasCode(long gdsCode) const
{
    return std::find(m_codes.begin(), m_codes.end(), gdsCode) != m_codes.end();
}

bool Error::isUpdateConflict() const
{
    return hasCode(isc_update_conflict) || hasCode(isc_deadlock) || hasCode(isc_lock_conflict);
}

bool Error::isDuplicateKey() const
{
    return hasCode(isc_unique_key_violation) || hasCode(isc_no_dup);
}

// ---------------------------------------------------------------------------
// Result

int Result::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Result::value(int row, const QString &column) const
{
    const int c = columnIndex(column);
    if (c < 0)
        throw Error(QStringLiteral("Coluna desconhecida: %1").arg(column));
    return m_rows[row][c];
}

QVariant Result::value(const QString &column) const
{
    const int c = columnIndex(column);
    if (c < 0)
        throw Error(QStringLiteral("Coluna desconhecida: %1").arg(column));
    return m_rows.isEmpty() ? QVariant() : m_rows[0][c];
}

// ---------------------------------------------------------------------------
// Prepared statements

struct Connection::Prepared
{
    IStatement *statement = nullptr;
    IMessageMetadata *input = nullptr;
    IMessageMetadata *output = nullptr;
    unsigned type = 0;
    QStringList names;       // parameter names in order; empty entries for '?'
    QVector<Field> fields;   // output columns
    QVector<Field> inFields; // input parameters as described by the server
    // Where each output column lies in the message, read once: decoding
    // then asks the metadata nothing per row.
    struct Posicao
    {
        unsigned tipo;
        unsigned offset;
        unsigned nullOffset;
    };
    QVector<Posicao> posicoes;

    ~Prepared()
    {
        if (input)
            input->release();
        if (output)
            output->release();
        if (statement) {
            try {
                Status st;
                statement->free(&st);
            } catch (const FbException &) {
                statement->release();
            }
        }
    }
};

struct Connection::Cache
{
    std::unordered_map<QString, std::unique_ptr<Prepared>> statements;
};

QString Connection::toPositional(const QString &sql, QStringList *names)
{
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto isIdentStart = [](QChar c) { return c.isLetter() || c == u'_'; };
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // quoted text or identifier, with doubled quotes inside
            const QChar q = c;
            out += c;
            ++i;
            while (i < n) {
                out += sql[i];
                if (sql[i] == q) {
                    if (i + 1 < n && sql[i + 1] == q) {
                        out += sql[i + 1];
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                out += sql[i++];
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u':' && i + 1 < n && isIdentStart(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isIdent(sql[j]))
                ++j;
            if (names)
                names->append(sql.mid(i + 1, j - i - 1).toUpper());
            out += u'?';
            i = j;
        } else if (c == u'?') {
            if (names)
                names->append(QString());
            out += c;
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

Connection::Prepared &Connection::prepare(void *transaction, const QString &sql)
{
    auto &cache = m_cache->statements;
    auto it = cache.find(sql);
    if (it != cache.end())
        return *it->second;
    if (cache.size() >= 256)
        cache.clear();

    auto p = std::make_unique<Prepared>();
    const QString positional = toPositional(sql, &p->names);
    const QByteArray text = positional.toLatin1();
    try {
        Status st;
        auto *att = static_cast<IAttachment *>(m_attachment);
        p->statement = att->prepare(&st, static_cast<ITransaction *>(transaction), static_cast<unsigned>(text.size()),
                                    text.constData(), kDialect, IStatement::PREPARE_PREFETCH_METADATA);
        p->type = p->statement->getType(&st);
        p->input = p->statement->getInputMetadata(&st);
        p->output = p->statement->getOutputMetadata(&st);
        const unsigned outCount = p->output->getCount(&st);
        for (unsigned i = 0; i < outCount; ++i) {
            Field f;
            f.name = QString::fromLatin1(p->output->getAlias(&st, i));
            f.relation = QString::fromLatin1(p->output->getRelation(&st, i));
            f.column = QString::fromLatin1(p->output->getField(&st, i));
            const int scale = p->output->getScale(&st, i);
            f.kind = kindOf(p->output->getType(&st, i), p->output->getSubType(&st, i), scale);
            f.length = static_cast<int>(p->output->getLength(&st, i));
            f.scale = -scale;
            f.nullable = p->output->isNullable(&st, i);
            p->fields.append(f);
            p->posicoes.append({p->output->getType(&st, i) & ~1u, p->output->getOffset(&st, i),
                                p->output->getNullOffset(&st, i)});
        }
        const unsigned inCount = p->input->getCount(&st);
        for (unsigned i = 0; i < inCount; ++i) {
            Field f;
            f.name = i < static_cast<unsigned>(p->names.size()) && !p->names[static_cast<int>(i)].isEmpty()
                         ? p->names[static_cast<int>(i)]
                         : QString::number(i + 1);
            const int scale = p->input->getScale(&st, i);
            f.kind = kindOf(p->input->getType(&st, i), p->input->getSubType(&st, i), scale);
            f.length = static_cast<int>(p->input->getLength(&st, i));
            f.scale = -scale;
            p->inFields.append(f);
        }
    } catch (const FbException &e) {
        throw toError(e);
    }
    auto &ref = *p;
    cache.emplace(sql, std::move(p));
    return ref;
}

namespace {

// Writes a blob and returns its id.
ISC_QUAD writeBlob(IAttachment *att, ITransaction *tra, const QByteArray &bytes)
{
    Status st;
    ISC_QUAD id{};
    IBlob *blob = att->createBlob(&st, tra, &id, 0, nullptr);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype chunk = std::min<qsizetype>(bytes.size() - pos, 32768);
        blob->putSegment(&st, static_cast<unsigned>(chunk), bytes.constData() + pos);
        pos += chunk;
    }
    blob->close(&st);
    return id;
}

QByteArray readBlob(IAttachment *att, ITransaction *tra, ISC_QUAD id)
{
    Status st;
    QByteArray bytes;
    IBlob *blob = att->openBlob(&st, tra, &id, 0, nullptr);
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        const int r = blob->getSegment(&st, sizeof buffer, buffer, &got);
        if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT)
            bytes.append(buffer, static_cast<qsizetype>(got));
        else
            break;
    }
    blob->close(&st);
    return bytes;
}

qint64 integerValue(const Field &f, const QVariant &value, int scale)
{
    if (value.metaType() == QMetaType::fromType<Decimal>())
        return value.value<Decimal>().rescaled(scale).units();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return Decimal::fromInt(value.toLongLong(), scale).units();
    case QMetaType::Double:
    case QMetaType::Float:
        return Decimal::fromDouble(value.toDouble(), scale).units();
    default:
        break;
    }
    if (auto d = Decimal::parse(value.toString()))
        return d->rescaled(scale).units();
    throw conversionError(f, value);
}

} // namespace

Result Connection::run(void *transaction, const QString &sql, const Params &params)
{
    Prepared &p = prepare(transaction, sql);
    auto *att = static_cast<IAttachment *>(m_attachment);
    auto *tra = static_cast<ITransaction *>(transaction);

    // Match the given values to the statement's parameters.
    const int inCount = static_cast<int>(p.inFields.size());
    QVector<const QVariant *> values(inCount, nullptr);
    std::vector<bool> used(params.size(), false);
    for (int i = 0; i < inCount; ++i) {
        const QString &name = i < p.names.size() ? p.names[i] : QString();
        if (name.isEmpty()) {
            if (i < static_cast<int>(params.size())) {
                values[i] = &params[static_cast<size_t>(i)].value;
                used[static_cast<size_t>(i)] = true;
            }
        } else {
            for (size_t k = 0; k < params.size(); ++k) {
                QStringView given = params[k].name;
                if (given.startsWith(u':'))
                    given = given.mid(1);
                if (given.compare(name, Qt::CaseInsensitive) == 0) {
                    values[i] = &params[k].value;
                    used[k] = true;
                    break;
                }
            }
        }
        if (!values[i])
            throw Error(QStringLiteral("Parâmetro :%1 sem valor em: %2").arg(p.inFields[i].name, sql));
    }
    for (size_t k = 0; k < params.size(); ++k) {
        if (!used[k])
            throw Error(QStringLiteral("Parâmetro :%1 não existe em: %2").arg(params[k].name, sql));
    }

    try {
        Status st;
        // Input message: texts travel as VARCHAR of their real length so
        // that the server, not the client, decides about truncation.
        IMessageMetadata *inMeta = nullptr;
        std::vector<unsigned char> inBuffer;
        std::vector<QByteArray> texts(static_cast<size_t>(inCount));
        if (inCount > 0) {
            IMetadataBuilder *builder = p.input->getBuilder(&st);
            for (int i = 0; i < inCount; ++i) {
                const QVariant &v = *values[i];
                if (!v.isValid() || v.isNull())
                    continue;
                const unsigned t = p.input->getType(&st, static_cast<unsigned>(i)) & ~1u;
                if (t == SQL_TEXT || t == SQL_VARYING || t == SQL_NULL) {
                    texts[static_cast<size_t>(i)] = storedText(v).toLatin1();
                    builder->setType(&st, static_cast<unsigned>(i), SQL_VARYING + 1);
                    builder->setLength(&st, static_cast<unsigned>(i),
                                       static_cast<unsigned>(std::max<qsizetype>(1, texts[static_cast<size_t>(i)].size())));
                }
            }
            inMeta = builder->getMetadata(&st);
            builder->release();
            inBuffer.assign(inMeta->getMessageLength(&st), 0);
            for (int i = 0; i < inCount; ++i) {
                const unsigned idx = static_cast<unsigned>(i);
                const QVariant &v = *values[i];
                unsigned char *data = inBuffer.data() + inMeta->getOffset(&st, idx);
                auto *nullFlag = reinterpret_cast<short *>(inBuffer.data() + inMeta->getNullOffset(&st, idx));
                if (!v.isValid() || v.isNull()) {
                    *nullFlag = -1;
                    continue;
                }
                *nullFlag = 0;
                const Field &f = p.inFields[i];
                const unsigned t = inMeta->getType(&st, idx) & ~1u;
                const int scale = -inMeta->getScale(&st, idx);
                switch (t) {
                case SQL_VARYING: {
                    const QByteArray &b = texts[idx];
                    const auto len = static_cast<ISC_USHORT>(b.size());
                    std::memcpy(data, &len, sizeof len);
                    std::memcpy(data + sizeof len, b.constData(), static_cast<size_t>(b.size()));
                    break;
                }
                case SQL_SHORT: {
                    const qint64 x = integerValue(f, v, scale);
                    if (x < -32768 || x > 32767)
                        throw Error(QStringLiteral("Valor fora do limite para %1: %2").arg(f.name).arg(x));
                    const auto s = static_cast<ISC_SHORT>(x);
                    std::memcpy(data, &s, sizeof s);
                    break;
                }
                case SQL_LONG: {
                    const qint64 x = integerValue(f, v, scale);
                    if (x < INT32_MIN || x > INT32_MAX)
                        throw Error(QStringLiteral("Valor fora do limite para %1: %2").arg(f.name).arg(x));
                    const auto l = static_cast<ISC_LONG>(x);
                    std::memcpy(data, &l, sizeof l);
                    break;
                }
                case SQL_INT64: {
                    const ISC_INT64 x = integerValue(f, v, scale);
                    std::memcpy(data, &x, sizeof x);
                    break;
                }
                case SQL_FLOAT:
                case SQL_DOUBLE:
                case SQL_D_FLOAT: {
                    double d = 0;
                    if (v.metaType() == QMetaType::fromType<Decimal>()) {
                        d = v.value<Decimal>().toDouble();
                    } else {
                        bool ok = false;
                        d = v.toDouble(&ok);
                        if (!ok) {
                            auto parsed = Decimal::parse(v.toString());
                            if (!parsed)
                                throw conversionError(f, v);
                            d = parsed->toDouble();
                        }
                    }
                    if (t == SQL_FLOAT) {
                        const float fl = static_cast<float>(d);
                        std::memcpy(data, &fl, sizeof fl);
                    } else {
                        std::memcpy(data, &d, sizeof d);
                    }
                    break;
                }
                case SQL_TYPE_DATE: {
                    QDate d = v.metaType() == QMetaType::fromType<QDateTime>() ? v.toDateTime().date() : v.toDate();
                    if (!d.isValid())
                        d = QDate::fromString(v.toString(), Qt::ISODate);
                    if (!d.isValid())
                        throw conversionError(f, v);
                    const ISC_DATE x = encodeDate(d);
                    std::memcpy(data, &x, sizeof x);
                    break;
                }
                case SQL_TYPE_TIME: {
                    const QTime tm = v.toTime();
                    if (!tm.isValid())
                        throw conversionError(f, v);
                    const ISC_TIME x = encodeTime(tm);
                    std::memcpy(data, &x, sizeof x);
                    break;
                }
                case SQL_TIMESTAMP: {
                    QDateTime dt = v.toDateTime();
                    if (!dt.isValid() && v.toDate().isValid())
                        dt = v.toDate().startOfDay();
                    if (!dt.isValid())
                        throw conversionError(f, v);
                    ISC_TIMESTAMP x{encodeDate(dt.date()), encodeTime(dt.time())};
                    std::memcpy(data, &x, sizeof x);
                    break;
                }
                case SQL_BLOB: {
                    const QByteArray bytes = v.metaType() == QMetaType::fromType<QByteArray>() ? v.toByteArray()
                                                                                              : v.toString().toLatin1();
                    const ISC_QUAD id = writeBlob(att, tra, bytes);
                    std::memcpy(data, &id, sizeof id);
                    break;
                }
                case SQL_BOOLEAN: {
                    const FB_BOOLEAN b = v.toBool() ? FB_TRUE : FB_FALSE;
                    std::memcpy(data, &b, sizeof b);
                    break;
                }
                default:
                    throw conversionError(f, v);
                }
            }
        }

        Result result;
        result.m_fields = p.fields;
        const unsigned outLength = p.output->getMessageLength(&st);
        std::vector<unsigned char> outBuffer(outLength);
        const int outCount = static_cast<int>(p.fields.size());
        auto decodeRow = [&]() {
            QVector<QVariant> row(outCount);
            for (int i = 0; i < outCount; ++i) {
                const Prepared::Posicao &pos = p.posicoes[i];
                const auto *nullFlag = reinterpret_cast<const short *>(outBuffer.data() + pos.nullOffset);
                if (*nullFlag)
                    continue;
                const unsigned char *data = outBuffer.data() + pos.offset;
                const Field &f = p.fields[i];
                const unsigned t = pos.tipo;
                switch (t) {
                case SQL_TEXT:
                    row[i] = QString::fromLatin1(reinterpret_cast<const char *>(data), f.length);
                    break;
                case SQL_VARYING: {
                    ISC_USHORT len = 0;
                    std::memcpy(&len, data, sizeof len);
                    row[i] = QString::fromLatin1(reinterpret_cast<const char *>(data + sizeof len), len);
                    break;
                }
                case SQL_SHORT: {
                    ISC_SHORT x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = f.scale > 0 ? QVariant::fromValue(Decimal(x, f.scale)) : QVariant(static_cast<int>(x));
                    break;
                }
                case SQL_LONG: {
                    ISC_LONG x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = f.scale > 0 ? QVariant::fromValue(Decimal(x, f.scale)) : QVariant(static_cast<int>(x));
                    break;
                }
                case SQL_INT64: {
                    ISC_INT64 x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = f.scale > 0 ? QVariant::fromValue(Decimal(x, f.scale))
                                         : QVariant(static_cast<qlonglong>(x));
                    break;
                }
                case SQL_FLOAT: {
                    float x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = static_cast<double>(x);
                    break;
                }
                case SQL_DOUBLE:
                case SQL_D_FLOAT: {
                    double x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = x;
                    break;
                }
                case SQL_TYPE_DATE: {
                    ISC_DATE x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = decodeDate(x);
                    break;
                }
                case SQL_TYPE_TIME: {
                    ISC_TIME x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = decodeTime(x);
                    break;
                }
                case SQL_TIMESTAMP: {
                    ISC_TIMESTAMP x;
                    std::memcpy(&x, data, sizeof x);
                    row[i] = QDateTime(decodeDate(x.timestamp_date), decodeTime(x.timestamp_time));
                    break;
                }
                case SQL_BLOB: {
                    ISC_QUAD id;
                    std::memcpy(&id, data, sizeof id);
                    const QByteArray bytes = readBlob(att, tra, id);
                    if (f.kind == Field::Kind::TextBlob)
                        row[i] = QString::fromLatin1(bytes);
                    else
                        row[i] = bytes;
                    break;
                }
                case SQL_BOOLEAN:
                    row[i] = *data != 0;
                    break;
                default:
                    break;
                }
            }
            return row;
        };

        if (p.type == isc_info_sql_stmt_select || p.type == isc_info_sql_stmt_select_for_upd) {
            IResultSet *cursor = p.statement->openCursor(&st, tra, inMeta, inCount ? inBuffer.data() : nullptr,
                                                         p.output, 0);
            try {
                while (cursor->fetchNext(&st, outBuffer.data()) == IStatus::RESULT_OK)
                    result.m_rows.append(decodeRow());
                cursor->close(&st);
            } catch (...) {
                cursor->release();
                throw;
            }
        } else {
            p.statement->execute(&st, tra, inMeta, inCount ? inBuffer.data() : nullptr,
                                 outCount ? p.output : nullptr, outCount ? outBuffer.data() : nullptr);
            if (outCount)
                result.m_rows.append(decodeRow());
            result.m_affected = static_cast<qint64>(p.statement->getAffectedRecords(&st));
        }
        if (inMeta)
            inMeta->release();
        return result;
    } catch (const FbException &e) {
        throw toError(e);
    }
}

// ---------------------------------------------------------------------------
// Connection

std::unique_ptr<Connection> Connection::open(const QString &database)
{
    Options o;
    o.database = database;
    return open(o);
}

std::unique_ptr<Connection> Connection::open(const Options &options)
{
    std::unique_ptr<Connection> c(new Connection);
    c->m_options = options;
    c->m_cache = std::make_unique<Cache>();
    IMaster *m = master();
    try {
        Status st;
        IXpbBuilder *dpb = util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, options.user.toLatin1().constData());
        dpb->insertString(&st, isc_dpb_password, options.password.toLatin1().constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, options.charset.toLatin1().constData());
        if (!options.role.isEmpty())
            dpb->insertString(&st, isc_dpb_sql_role_name, options.role.toLatin1().constData());
        if (options.forcedWrites)
            dpb->insertInt(&st, isc_dpb_force_write, *options.forcedWrites ? 1 : 0);
        const QByteArray name = options.database.toLocal8Bit();
        c->m_attachment = m->getDispatcher()->attachDatabase(&st, name.constData(), dpb->getBufferLength(&st),
                                                             dpb->getBuffer(&st));
        dpb->dispose();
    } catch (const FbException &e) {
        throw toError(e);
    }
    return c;
}

std::unique_ptr<Connection> Connection::create(const QString &path)
{
    std::unique_ptr<Connection> c(new Connection);
    c->m_options.database = path;
    c->m_cache = std::make_unique<Cache>();
    IMaster *m = master();
    try {
        Status st;
        IXpbBuilder *dpb = util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
        dpb->insertString(&st, isc_dpb_set_db_charset, "ISO8859_1");
        dpb->insertString(&st, isc_dpb_user_name, c->m_options.user.toLatin1().constData());
        dpb->insertString(&st, isc_dpb_password, c->m_options.password.toLatin1().constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, "ISO8859_1");
        dpb->insertInt(&st, isc_dpb_force_write, 0);
        const QByteArray name = path.toLocal8Bit();
        c->m_attachment = m->getDispatcher()->createDatabase(&st, name.constData(), dpb->getBufferLength(&st),
                                                             dpb->getBuffer(&st));
        dpb->dispose();
    } catch (const FbException &e) {
        throw toError(e);
    }
    return c;
}

Connection::~Connection()
{
    if (g_encerrado) {
        // the client was shut down: its objects are gone already
        m_cache.release();
        return;
    }
    m_cache.reset();
    if (m_readTransaction)
        rollbackHandle(m_readTransaction);
    if (m_attachment) {
        auto *att = static_cast<IAttachment *>(m_attachment);
        try {
            Status st;
            att->detach(&st);
        } catch (const FbException &) {
            att->release();
        }
    }
}

void *Connection::startTransaction(bool readOnly)
{
    const auto tpb = transactionParameters(readOnly);
    try {
        Status st;
        return static_cast<IAttachment *>(m_attachment)
            ->startTransaction(&st, static_cast<unsigned>(tpb.size()), tpb.data());
    } catch (const FbException &e) {
        throw toError(e);
    }
}

void Connection::commitHandle(void *handle)
{
    try {
        Status st;
        static_cast<ITransaction *>(handle)->commit(&st);
    } catch (const FbException &e) {
        throw toError(e);
    }
}

void Connection::rollbackHandle(void *handle) noexcept
{
    auto *tra = static_cast<ITransaction *>(handle);
    try {
        Status st;
        tra->rollback(&st);
    } catch (const FbException &) {
        tra->release();
    }
}

void *Connection::readTransaction()
{
    if (!m_readTransaction)
        m_readTransaction = startTransaction(true);
    return m_readTransaction;
}

void Connection::backOff(int attempt)
{
    static thread_local std::mt19937 rng(std::random_device{}());
    const int step = std::min(attempt, 10); // at most 50 to 150 ms
    std::uniform_int_distribution<int> jitter(0, 10 * step);
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * step + jitter(rng)));
}

Result Connection::execute(const QString &sql, const Params &params)
{
    Prepared &p = prepare(readTransaction(), sql);
    if (p.type == isc_info_sql_stmt_select)
        return run(readTransaction(), sql, params);
    return transaction([&](Transaction &tx) { return tx.execute(sql, params); });
}

void Connection::executeImmediate(const QString &sql)
{
    m_cache->statements.clear();
    Transaction tx(*this);
    const QByteArray text = sql.toLatin1();
    try {
        Status st;
        static_cast<IAttachment *>(m_attachment)
            ->execute(&st, static_cast<ITransaction *>(tx.m_handle), static_cast<unsigned>(text.size()),
                      text.constData(), kDialect, nullptr, nullptr, nullptr, nullptr);
    } catch (const FbException &e) {
        throw toError(e);
    }
    tx.commit();
}

// ---------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_handle = connection.startTransaction(false);
}

Transaction::~Transaction()
{
    if (m_handle)
        m_connection.rollbackHandle(m_handle);
}

Result Transaction::execute(const QString &sql, const Params &params)
{
    if (!m_handle)
        throw Error(QStringLiteral("Transação encerrada"));
    return m_connection.run(m_handle, sql, params);
}

void Transaction::commit()
{
    if (!m_handle)
        return;
    void *h = m_handle;
    m_connection.commitHandle(h);
    m_handle = nullptr;
}

void Transaction::rollback()
{
    if (!m_handle)
        return;
    void *h = m_handle;
    m_handle = nullptr;
    m_connection.rollbackHandle(h);
}

// ---------------------------------------------------------------------------

void shutdownClient()
{
    if (g_encerrado)
        return;
    g_encerrado = true;
    fb_shutdown(5000, fb_shutrsn_signal);
}

void prepareEmbeddedEnvironment()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QFileInfo lockDir(QStringLiteral("/tmp/firebird"));
    if (!lockDir.exists() || (lockDir.isDir() && ::access("/tmp/firebird", W_OK | X_OK) == 0))
        return;
    const QString own = QDir::tempPath() + QStringLiteral("/corvena-firebird-%1").arg(::getuid());
    QDir().mkpath(own);
    qputenv("FIREBIRD_LOCK", own.toLocal8Bit());
}

} // namespace db
