#include "data/firebird.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <cstring>

using namespace Firebird;

namespace fb {
namespace {

IMaster* master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

constexpr unsigned kUtf8 = 4;
constexpr unsigned kOctets = 1;
const QDate kFirebirdEpoch(1858, 11, 17);

// One status vector per call site; check() turns an error into fb::Error with the server's text.
// Given the state of the connection the call went to, an error saying the connection is gone
// marks it lost, so that nothing more is asked of it.
class Status
{
public:
    explicit Status(ConnectionState* connection = nullptr)
        : st_(master()->getStatus()), w_(st_), connection_(connection)
    {
    }
    ~Status() { st_->dispose(); }
    CheckStatusWrapper* operator&() { return &w_; }
    bool failed() const { return w_.getState() & IStatus::STATE_ERRORS; }
    void check()
    {
        if (!failed()) return;
        char buf[2048];
        master()->getUtilInterface()->formatStatus(buf, sizeof buf, st_);
        std::vector<long> codes;
        const intptr_t* v = w_.getErrors();
        while (v && v[0] != isc_arg_end) {
            if (v[0] == isc_arg_gds) codes.push_back(long(v[1]));
            // string-like arguments carry one value, isc_arg_cstring two
            v += (v[0] == isc_arg_cstring) ? 3 : 2;
        }
        w_.init();
        Error e(QString::fromUtf8(buf).trimmed(), std::move(codes));
        if (connection_ && e.isConnectionLost() && !connection_->lost) {
            connection_->lost = true;
            connection_->message = e.message();
            connection_->codes = e.codes();
        }
        throw e;
    }

private:
    IStatus* st_;
    CheckStatusWrapper w_;
    ConnectionState* connection_;
};

// A request on a connection already lost fails here, without reaching the client library.
void checkUsable(const std::shared_ptr<ConnectionState>& connection)
{
    if (!connection) throw Error(QStringLiteral("A conexão com o banco de dados foi perdida"), {isc_conn_lost});
    if (connection->lost)
        throw Error(connection->message.isEmpty() ? QStringLiteral("A conexão com o banco de dados foi perdida")
                                                  : connection->message,
                    connection->codes.empty() ? std::vector<long>{isc_conn_lost} : connection->codes);
}

template <typename T> void release(T*& p)
{
    if (p) {
        p->release();
        p = nullptr;
    }
}

QByteArray buildDpb(const ConnectionSettings& s, bool create, bool forcedWrites)
{
    Status st;
    IXpbBuilder* b = master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    st.check();
    b->insertString(&st, isc_dpb_user_name, s.user.toUtf8().constData());
    b->insertString(&st, isc_dpb_password, s.password.toUtf8().constData());
    b->insertString(&st, isc_dpb_lc_ctype, "UTF8");
    b->insertInt(&st, isc_dpb_connect_timeout, 10);
    if (create) {
        b->insertString(&st, isc_dpb_set_db_charset, "UTF8");
        b->insertInt(&st, isc_dpb_sql_dialect, 3);
        b->insertInt(&st, isc_dpb_force_write, forcedWrites ? 1 : 0);
    }
    st.check();
    QByteArray out(reinterpret_cast<const char*>(b->getBuffer(&st)), int(b->getBufferLength(&st)));
    b->dispose();
    return out;
}

} // namespace

// ---- Error ----

Error::Error(const QString& message, std::vector<long> codes)
    : std::runtime_error(message.toStdString()), message_(message), codes_(std::move(codes))
{
}

bool Error::hasCode(long code) const
{
    return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

bool Error::isLockConflict() const
{
    return hasCode(isc_lock_conflict) || hasCode(isc_update_conflict) || hasCode(isc_deadlock) ||
           hasCode(isc_lock_timeout);
}

bool Error::isConnectionLost() const
{
    for (long c : {isc_network_error, isc_net_read_err, isc_net_write_err, isc_net_connect_err, isc_conn_lost,
                   isc_lost_db_connection, isc_att_shutdown, isc_shutdown})
        if (hasCode(c)) return true;
    return false;
}

// ---- Attachment ----

Attachment::~Attachment()
{
    end();
}

ConnectionState::~ConnectionState()
{
    if (lostHandle) lostHandle->release();
}

void Attachment::end() noexcept
{
    if (att_) {
        Status st(state_.get());
        if (!isLost()) att_->detach(&st);
        if (isLost()) {
            state_->lostHandle = att_; // its transactions and statements go first
        } else if (st.failed()) {
            att_->release();
        }
        att_ = nullptr;
    }
    // Whatever was made on it is gone with it.
    if (state_) state_->lost = true;
    state_.reset();
}

Attachment::Attachment(Attachment&& other) noexcept : att_(other.att_), state_(std::move(other.state_))
{
    other.att_ = nullptr;
}

Attachment& Attachment::operator=(Attachment&& other) noexcept
{
    if (this != &other) {
        end();
        att_ = other.att_;
        state_ = std::move(other.state_);
        other.att_ = nullptr;
    }
    return *this;
}

Attachment Attachment::attach(const ConnectionSettings& s)
{
    const QByteArray dpb = buildDpb(s, false, true);
    Status st;
    IAttachment* a = master()->getDispatcher()->attachDatabase(
        &st, s.database.toUtf8().constData(), unsigned(dpb.size()), reinterpret_cast<const unsigned char*>(dpb.data()));
    st.check();
    return Attachment(a);
}

Attachment Attachment::create(const ConnectionSettings& s, bool forcedWrites)
{
    const QByteArray dpb = buildDpb(s, true, forcedWrites);
    Status st;
    IAttachment* a = master()->getDispatcher()->createDatabase(
        &st, s.database.toUtf8().constData(), unsigned(dpb.size()), reinterpret_cast<const unsigned char*>(dpb.data()));
    st.check();
    return Attachment(a);
}

void Attachment::abandon()
{
    if (att_ && state_ && !state_->lostHandle)
        state_->lostHandle = att_; // released once its transactions and statements have gone
    else if (att_)
        att_->release();
    att_ = nullptr;
    if (state_) state_->lost = true;
}

void Attachment::detach()
{
    if (!att_) return;
    if (isLost()) {
        abandon();
        return;
    }
    Status st(state_.get());
    att_->detach(&st);
    st.check();
    att_ = nullptr; // detach released the interface
    state_->lost = true;
}

void Attachment::dropDatabase()
{
    if (!att_) return;
    checkUsable(state_);
    Status st(state_.get());
    att_->dropDatabase(&st);
    st.check();
    att_ = nullptr;
}

// ---- Transaction ----

Transaction::Transaction(Attachment& attachment, int lockTimeoutSeconds)
{
    start(attachment, lockTimeoutSeconds);
}

Transaction::~Transaction()
{
    end();
}

void Transaction::end() noexcept
{
    if (tra_) {
        Status st;
        if (!isLost()) tra_->rollback(&st);
        if (isLost() || st.failed()) tra_->release();
        tra_ = nullptr;
    }
}

Transaction::Transaction(Transaction&& other) noexcept
    : att_(other.att_), tra_(other.tra_), state_(std::move(other.state_))
{
    other.tra_ = nullptr;
}

Transaction& Transaction::operator=(Transaction&& other) noexcept
{
    if (this != &other) {
        end();
        att_ = other.att_;
        tra_ = other.tra_;
        state_ = std::move(other.state_);
        other.tra_ = nullptr;
    }
    return *this;
}

void Transaction::start(Attachment& attachment, int lockTimeoutSeconds)
{
    if (tra_ && isLost()) {
        tra_->release(); // left with its lost connection
        tra_ = nullptr;
    }
    if (tra_) throw Error(QStringLiteral("A transação já está ativa"));
    checkUsable(attachment.state());
    // read_committed + rec_version: the latest committed version; nowait: a locked row fails at once.
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait,
                                        isc_tpb_write};
    Status st(attachment.state().get());
    if (lockTimeoutSeconds <= 0) {
        tra_ = attachment.handle()->startTransaction(&st, sizeof tpb, tpb);
    } else {
        IXpbBuilder* b = master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
        st.check();
        for (unsigned char tag : {isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait, isc_tpb_write})
            b->insertTag(&st, tag);
        b->insertInt(&st, isc_tpb_lock_timeout, lockTimeoutSeconds);
        if (!st.failed()) tra_ = attachment.handle()->startTransaction(&st, b->getBufferLength(&st), b->getBuffer(&st));
        b->dispose();
    }
    st.check();
    att_ = &attachment;
    state_ = attachment.state();
}

void Transaction::commit()
{
    if (!tra_) return;
    checkUsable(state_);
    Status st(state_.get());
    tra_->commit(&st);
    st.check();
    tra_ = nullptr;
}

void Transaction::commitRetaining()
{
    checkUsable(state_);
    Status st(state_.get());
    tra_->commitRetaining(&st);
    st.check();
}

void Transaction::rollback()
{
    if (!tra_) return;
    if (isLost()) {
        tra_->release(); // the server undoes it with the connection
        tra_ = nullptr;
        return;
    }
    Status st(state_.get());
    tra_->rollback(&st);
    st.check();
    tra_ = nullptr;
}

void Transaction::rollbackRetaining()
{
    checkUsable(state_);
    Status st(state_.get());
    tra_->rollbackRetaining(&st);
    st.check();
}

// ---- named parameters ----

QString translateNamedParameters(const QString& sql, QStringList& names)
{
    QString out;
    out.reserve(sql.size());
    const int n = int(sql.size());
    auto isNameStart = [](QChar c) { return c.isLetter() || c == u'_'; };
    auto isNameChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; };
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') { // literal or quoted name, doubled quote inside
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, qMin(j, n - 1) - i + 1);
            i = j;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            int j = int(sql.indexOf(u'\n', i));
            if (j < 0) j = n - 1;
            out += QStringView(sql).mid(i, j - i + 1);
            i = j;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            int j = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            j = j < 0 ? n - 1 : j + 1;
            out += QStringView(sql).mid(i, j - i + 1);
            i = j;
        } else if (c == u':' && i + 1 < n && isNameStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            names << sql.mid(i + 1, j - i - 1).toUpper();
            out += u'?';
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

// ---- Statement ----

Statement::Statement(Attachment& attachment, Transaction& transaction, const QString& sql)
    : att_(attachment), tra_(transaction)
{
    QStringList positions;
    const QString text = translateNamedParameters(sql, positions);
    for (const QString& name : positions) {
        int idx = int(names_.indexOf(name));
        if (idx < 0) {
            idx = int(names_.size());
            names_ << name;
        }
        positionName_ << idx;
    }
    params_.resize(names_.size());

    checkUsable(att_.state());
    if (tra_.handle() && tra_.isLost()) checkUsable(nullptr);
    state_ = att_.state();
    Status st(state_.get());
    stmt_ = att_.handle()->prepare(&st, tra_.handle(), 0, text.toUtf8().constData(), 3,
                                   IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    const unsigned type = stmt_->getType(&st);
    st.check();
    isSelect_ = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
    inMeta_ = stmt_->getInputMetadata(&st);
    st.check();
    outMeta_ = stmt_->getOutputMetadata(&st);
    st.check();
    const unsigned count = outMeta_->getCount(&st);
    for (unsigned i = 0; i < count; ++i) {
        Column c;
        c.name = QString::fromUtf8(outMeta_->getField(&st, i));
        c.alias = QString::fromUtf8(outMeta_->getAlias(&st, i));
        c.relation = QString::fromUtf8(outMeta_->getRelation(&st, i));
        c.type = outMeta_->getType(&st, i);
        c.subType = outMeta_->getSubType(&st, i);
        c.scale = outMeta_->getScale(&st, i);
        c.length = outMeta_->getLength(&st, i);
        c.nullable = outMeta_->isNullable(&st, i);
        const unsigned cs = outMeta_->getCharSet(&st, i);
        c.charLength = (c.type == SQL_TEXT || c.type == SQL_VARYING) && cs == kUtf8 ? c.length / 4 : c.length;
        c.offset = outMeta_->getOffset(&st, i);
        c.nullOffset = outMeta_->getNullOffset(&st, i);
        st.check();
        columns_ << c;
    }
    row_.resize(columns_.size());
    outBuf_.resize(int(outMeta_->getMessageLength(&st)));
    st.check();
}

Statement::~Statement()
{
    const bool lost = !state_ || state_->lost;
    if (cursor_) {
        Status st;
        if (!lost) cursor_->close(&st);
        if (lost || st.failed()) cursor_->release();
        cursor_ = nullptr;
    }
    release(inMeta_);
    release(outMeta_);
    release(lastInMeta_);
    if (stmt_) {
        Status st;
        if (!lost) stmt_->free(&st);
        if (lost || st.failed()) stmt_->release();
    }
}

bool Statement::hasParameter(const QString& name) const
{
    return names_.contains(name.toUpper());
}

void Statement::setParameter(const QString& name, const QVariant& value)
{
    params_[parameterIndex(name)] = value;
}

void Statement::clearParameters()
{
    params_.fill(QVariant());
}

int Statement::parameterIndex(const QString& name) const
{
    // Callers mostly pass the name as the statement spells it: try that before folding the case.
    int idx = int(names_.indexOf(name));
    if (idx < 0) idx = int(names_.indexOf(name.toUpper()));
    if (idx < 0) throw Error(QStringLiteral("Parâmetro %1 não encontrado").arg(name));
    return idx;
}

int Statement::columnIndex(const QString& alias) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].alias.compare(alias, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Statement::value(const QString& alias) const
{
    const int i = columnIndex(alias);
    if (i < 0) throw Error(QStringLiteral("Campo %1 não encontrado").arg(alias));
    return row_[i];
}

namespace {

QByteArray writeBlob(Attachment& att, Transaction& tra, const QByteArray& data, ISC_QUAD& id)
{
    Status st(att.state().get());
    IBlob* blob = att.handle()->createBlob(&st, tra.handle(), &id, 0, nullptr);
    st.check();
    const int chunk = 32768;
    for (int pos = 0; pos < data.size(); pos += chunk) {
        const int len = qMin(chunk, int(data.size()) - pos);
        blob->putSegment(&st, unsigned(len), data.constData() + pos);
        if (st.failed()) {
            Status st2;
            blob->cancel(&st2);
            st.check();
        }
    }
    blob->close(&st);
    st.check();
    return {};
}

QByteArray readBlob(Attachment& att, Transaction& tra, ISC_QUAD id)
{
    Status st(att.state().get());
    IBlob* blob = att.handle()->openBlob(&st, tra.handle(), &id, 0, nullptr);
    st.check();
    QByteArray out;
    char buf[32768];
    for (;;) {
        unsigned got = 0;
        const int rc = blob->getSegment(&st, sizeof buf, buf, &got);
        if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT) {
            out.append(buf, int(got));
            continue;
        }
        if (rc == IStatus::RESULT_NO_DATA) break;
        Status st2;
        blob->close(&st2);
        st.check();
        break;
    }
    blob->close(&st);
    st.check();
    return out;
}

qint64 pow10(int n)
{
    qint64 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

} // namespace

namespace {

// How one input position is described to the server.
enum class Kind : quint32 { Described, NullText, Blob, Int64, Double, Date, Time, Timestamp, Utf8, Octets };

} // namespace

QByteArray Statement::buildInput(IMessageMetadata*& meta)
{
    Status st;
    const unsigned count = inMeta_->getCount(&st);
    st.check();
    if (count == 0) {
        meta = nullptr;
        return {};
    }
    // Describe each position by the value we hold; the server converts to the column's type.
    QVector<QByteArray> texts;
    texts.resize(count);
    QVector<quint32> shape(qsizetype{count});
    for (unsigned i = 0; i < count; ++i) {
        const QVariant& v = params_[positionName_[int(i)]];
        const unsigned described = inMeta_->getType(&st, i);
        Kind kind = Kind::Described;
        unsigned length = 0;
        if (!v.isValid() || v.isNull()) {
            if (described == SQL_NULL || described == SQL_TEXT || described == SQL_VARYING) kind = Kind::NullText;
        } else if (described == SQL_BLOB) {
            kind = Kind::Blob;
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
            case QMetaType::Short:
            case QMetaType::Bool:
                kind = Kind::Int64;
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                kind = Kind::Double;
                break;
            case QMetaType::QDate:
                kind = Kind::Date;
                break;
            case QMetaType::QTime:
                kind = Kind::Time;
                break;
            case QMetaType::QDateTime:
                kind = Kind::Timestamp;
                break;
            default: {
                const bool bytes = v.typeId() == QMetaType::QByteArray;
                texts[int(i)] = bytes ? v.toByteArray() : v.toString().toUtf8();
                const bool text = described == SQL_TEXT || described == SQL_VARYING;
                kind = bytes && !text ? Kind::Octets : Kind::Utf8;
                // Room for the column's longest value, so that rows of different lengths share one
                // description. One byte more than the column keeps the server converting the value,
                // which is where a text longer than the column is refused.
                length = unsigned(qMax<qsizetype>(1, texts[int(i)].size()));
                if (text) length = qMax(length, inMeta_->getLength(&st, i) + 1);
                break;
            }
            }
        }
        st.check();
        shape[int(i)] = (quint32(kind) << 24) | (length & 0xFFFFFF);
    }

    if (lastInMeta_ && shape == lastShape_) {
        meta = lastInMeta_;
        meta->addRef(); // the caller releases its reference after the execute
    } else {
        IMetadataBuilder* b = inMeta_->getBuilder(&st);
        st.check();
        for (unsigned i = 0; i < count; ++i) {
            const Kind kind = Kind(shape[int(i)] >> 24);
            const unsigned length = shape[int(i)] & 0xFFFFFF;
            switch (kind) {
            case Kind::Described:
                break;
            case Kind::NullText:
                b->setType(&st, i, SQL_VARYING);
                b->setLength(&st, i, 1);
                b->setCharSet(&st, i, kUtf8);
                break;
            case Kind::Blob:
                b->setType(&st, i, SQL_BLOB);
                b->setSubType(&st, i, inMeta_->getSubType(&st, i));
                break;
            case Kind::Int64:
            case Kind::Double:
                b->setType(&st, i, kind == Kind::Int64 ? SQL_INT64 : SQL_DOUBLE);
                b->setScale(&st, i, 0);
                b->setLength(&st, i, 8);
                break;
            case Kind::Date:
            case Kind::Time:
                b->setType(&st, i, kind == Kind::Date ? SQL_TYPE_DATE : SQL_TYPE_TIME);
                b->setLength(&st, i, 4);
                break;
            case Kind::Timestamp:
                b->setType(&st, i, SQL_TIMESTAMP);
                b->setLength(&st, i, 8);
                break;
            case Kind::Utf8:
            case Kind::Octets:
                b->setType(&st, i, SQL_VARYING);
                b->setScale(&st, i, 0);
                b->setLength(&st, i, length);
                b->setCharSet(&st, i, kind == Kind::Octets ? kOctets : kUtf8);
                break;
            }
            st.check();
        }
        meta = b->getMetadata(&st);
        b->release();
        st.check();
        release(lastInMeta_);
        lastInMeta_ = meta;
        lastInMeta_->addRef();
        lastShape_ = shape;
    }

    QByteArray buf(int(meta->getMessageLength(&st)), '\0');
    st.check();
    char* base = buf.data();
    for (unsigned i = 0; i < count; ++i) {
        const QVariant& v = params_[positionName_[int(i)]];
        auto* nullFlag = reinterpret_cast<short*>(base + meta->getNullOffset(&st, i));
        char* p = base + meta->getOffset(&st, i);
        st.check();
        if (!v.isValid() || v.isNull()) {
            *nullFlag = -1;
            continue;
        }
        *nullFlag = 0;
        switch (meta->getType(&st, i)) {
        case SQL_INT64: {
            const qint64 x = v.toLongLong();
            std::memcpy(p, &x, 8);
            break;
        }
        case SQL_DOUBLE: {
            const double x = v.toDouble();
            std::memcpy(p, &x, 8);
            break;
        }
        case SQL_TYPE_DATE: {
            const ISC_DATE d = ISC_DATE(kFirebirdEpoch.daysTo(v.toDate()));
            std::memcpy(p, &d, 4);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME t = ISC_TIME(v.toTime().msecsSinceStartOfDay()) * 10;
            std::memcpy(p, &t, 4);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP ts;
            ts.timestamp_date = ISC_DATE(kFirebirdEpoch.daysTo(dt.date()));
            ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay()) * 10;
            std::memcpy(p, &ts, 8);
            break;
        }
        case SQL_BLOB: {
            const QByteArray data = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
            ISC_QUAD id;
            writeBlob(att_, tra_, data, id);
            std::memcpy(p, &id, sizeof id);
            break;
        }
        default: { // SQL_VARYING
            const QByteArray& t = texts[int(i)];
            const unsigned short len = static_cast<unsigned short>(t.size());
            std::memcpy(p, &len, 2);
            std::memcpy(p + 2, t.constData(), t.size());
            break;
        }
        }
    }
    return buf;
}

void Statement::execute()
{
    run(isSelect_);
}

void Statement::executeOne()
{
    run(false);
}

void Statement::run(bool withCursor)
{
    close();
    checkUsable(state_);
    IMessageMetadata* meta = nullptr;
    QByteArray in = buildInput(meta);
    Status st(state_.get());
    if (withCursor) {
        cursor_ = stmt_->openCursor(&st, tra_.handle(), meta, in.isEmpty() ? nullptr : in.data(), outMeta_, 0);
    } else {
        stmt_->execute(&st, tra_.handle(), meta, in.isEmpty() ? nullptr : in.data(), outMeta_,
                       columns_.isEmpty() ? nullptr : outBuf_.data());
    }
    if (meta) meta->release();
    st.check();
    // EXECUTE PROCEDURE, RETURNING, a singleton select: one row of output
    if (!withCursor && !columns_.isEmpty()) decodeRow();
}

bool Statement::fetch()
{
    if (!fetchRaw()) return false;
    decodeRow();
    return true;
}

bool Statement::fetchRaw()
{
    if (!cursor_) return false;
    checkUsable(state_);
    Status st(state_.get());
    const int rc = cursor_->fetchNext(&st, outBuf_.data());
    st.check();
    return rc == IStatus::RESULT_OK;
}

bool Statement::isNull(int i) const
{
    short n;
    std::memcpy(&n, outBuf_.constData() + columns_[i].nullOffset, 2);
    return n != 0;
}

qint64 Statement::dayNumber(int i) const
{
    ISC_DATE d;
    std::memcpy(&d, outBuf_.constData() + columns_[i].offset, 4);
    return kFirebirdEpoch.toJulianDay() + d;
}

qint64 Statement::unscaled(int i) const
{
    const Column& c = columns_[i];
    const char* p = outBuf_.constData() + c.offset;
    switch (c.type) {
    case SQL_SHORT: {
        short x;
        std::memcpy(&x, p, 2);
        return x;
    }
    case SQL_LONG: {
        ISC_LONG x;
        std::memcpy(&x, p, 4);
        return x;
    }
    case SQL_INT64: {
        qint64 x;
        std::memcpy(&x, p, 8);
        return x;
    }
    default:
        throw Error(QStringLiteral("A coluna %1 não é um número inteiro").arg(c.alias));
    }
}

QByteArrayView Statement::bytes(int i) const
{
    const Column& c = columns_[i];
    const char* p = outBuf_.constData() + c.offset;
    qsizetype n;
    if (c.type == SQL_VARYING) {
        unsigned short len;
        std::memcpy(&len, p, 2);
        p += 2;
        n = len;
    } else if (c.type == SQL_TEXT) {
        n = c.length;
        while (n > 0 && p[n - 1] == ' ')
            --n;
    } else {
        throw Error(QStringLiteral("A coluna %1 não é um texto").arg(c.alias));
    }
    return QByteArrayView(p, n);
}

void Statement::close()
{
    if (!cursor_) return;
    if (!state_ || state_->lost) {
        cursor_->release(); // left with its lost connection
        cursor_ = nullptr;
        return;
    }
    Status st(state_.get());
    cursor_->close(&st);
    if (st.failed()) cursor_->release();
    cursor_ = nullptr;
}

unsigned Statement::affectedRows() const
{
    checkUsable(state_);
    Status st(state_.get());
    const unsigned char items[] = {isc_info_sql_records};
    unsigned char buf[64];
    stmt_->getInfo(&st, sizeof items, items, sizeof buf, buf);
    st.check();
    unsigned total = 0;
    const unsigned char* p = buf;
    if (*p != isc_info_sql_records) return 0;
    p += 3;
    while (*p != isc_info_end) {
        const unsigned char kind = *p++;
        const short len = short(isc_portable_integer(p, 2));
        p += 2;
        const unsigned count = unsigned(isc_portable_integer(p, len));
        p += len;
        if (kind == isc_info_req_update_count || kind == isc_info_req_delete_count || kind == isc_info_req_insert_count)
            total += count;
    }
    return total;
}

void Statement::decodeRow()
{
    const char* base = outBuf_.constData();
    for (int i = 0; i < columns_.size(); ++i) {
        const Column& c = columns_[i];
        const char* p = base + c.offset;
        if (isNull(i)) {
            row_[i] = QVariant();
            continue;
        }
        switch (c.type) {
        case SQL_TEXT:
        case SQL_VARYING:
            row_[i] = QString::fromUtf8(bytes(i));
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            const qint64 x = unscaled(i);
            if (c.scale < 0)
                row_[i] = double(x) / double(pow10(-c.scale));
            else if (c.type == SQL_INT64)
                row_[i] = x;
            else
                row_[i] = int(x);
            break;
        }
        case SQL_FLOAT: {
            float f;
            std::memcpy(&f, p, 4);
            row_[i] = double(f);
            break;
        }
        case SQL_DOUBLE: {
            double d;
            std::memcpy(&d, p, 8);
            row_[i] = d;
            break;
        }
        case SQL_TYPE_DATE:
            row_[i] = QDate::fromJulianDay(dayNumber(i));
            break;
        case SQL_TYPE_TIME: {
            ISC_TIME t;
            std::memcpy(&t, p, 4);
            row_[i] = QTime::fromMSecsSinceStartOfDay(int(t / 10));
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP ts;
            std::memcpy(&ts, p, 8);
            row_[i] = QDateTime(kFirebirdEpoch.addDays(ts.timestamp_date),
                                QTime::fromMSecsSinceStartOfDay(int(ts.timestamp_time / 10)));
            break;
        }
        case SQL_BOOLEAN:
            row_[i] = bool(*p);
            break;
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            const QByteArray data = readBlob(att_, tra_, id);
            row_[i] = c.subType == 1 ? QVariant(QString::fromUtf8(data)) : QVariant(data);
            break;
        }
        default:
            row_[i] = QVariant();
        }
    }
}

// ---- scripts and generators ----

void executeScript(Attachment& attachment, const QString& script)
{
    auto run = [&](QString sql) {
        sql = sql.trimmed();
        if (sql.isEmpty() || sql.compare(QStringLiteral("COMMIT"), Qt::CaseInsensitive) == 0 ||
            sql.compare(QStringLiteral("COMMIT WORK"), Qt::CaseInsensitive) == 0)
            return;
        Transaction tra(attachment);
        Status st(attachment.state().get());
        attachment.handle()->execute(&st, tra.handle(), 0, sql.toUtf8().constData(), 3, nullptr, nullptr, nullptr,
                                     nullptr);
        try {
            st.check();
        } catch (const Error& e) {
            throw Error(e.message() + QStringLiteral("\nem: ") + sql.left(200), e.codes());
        }
        tra.commit();
    };
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString term = QStringLiteral(";");
    QString current;
    const int n = int(script.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == u'\'' || c == u'"') { // literal or quoted name: copied whole
            int j = int(script.indexOf(c, i + 1));
            while (j >= 0 && j + 1 < n && script[j + 1] == c)
                j = int(script.indexOf(c, j + 2));
            j = j < 0 ? n - 1 : j;
            current += QStringView(script).mid(i, j - i + 1);
            i = j;
        } else if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
            int j = int(script.indexOf(u'\n', i));
            i = j < 0 ? n : j;
            current += u'\n';
        } else if (c == u'/' && i + 1 < n && script[i + 1] == u'*') {
            int j = int(script.indexOf(QStringLiteral("*/"), i + 2));
            i = j < 0 ? n : j + 1;
        } else if (QStringView(script).mid(i, term.size()) == term) {
            const QString stmt = current.trimmed();
            current.clear();
            i += int(term.size()) - 1;
            const auto m = setTerm.match(stmt);
            if (m.hasMatch())
                term = m.captured(1); // "SET TERM ^ ;" ends with the old terminator
            else
                run(stmt);
        } else {
            current += c;
        }
    }
    run(current);
}

qint64 generatorValue(Attachment& attachment, Transaction& transaction, const QString& generator)
{
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (!ident.match(generator).hasMatch()) throw Error(QStringLiteral("Nome de gerador inválido: %1").arg(generator));
    Statement s(attachment, transaction, QStringLiteral("SELECT GEN_ID( %1, 0 ) FROM RDB$DATABASE").arg(generator));
    s.execute();
    s.fetch();
    return s.value(0).toLongLong();
}

} // namespace fb
