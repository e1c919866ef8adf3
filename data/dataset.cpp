#include "data/dataset.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

bool isStringType(TipoCampo t)
{
    return t == TipoCampo::String || t == TipoCampo::Memo;
}

TipoCampo tipoDaColuna(const fb::Column& c)
{
    // Type codes of ibase.h (SQL_*), without the nullable bit.
    switch (c.type) {
    case 452: // SQL_TEXT
    case 448: // SQL_VARYING
        return TipoCampo::String;
    case 500: // SQL_SHORT
    case 496: // SQL_LONG
    case 580: // SQL_INT64
        return c.scale < 0 ? TipoCampo::Float : TipoCampo::Integer;
    case 482: // SQL_FLOAT
    case 480: // SQL_DOUBLE
        return TipoCampo::Float;
    case 570: // SQL_TYPE_DATE
        return TipoCampo::Date;
    case 560: // SQL_TYPE_TIME
        return TipoCampo::Time;
    case 510: // SQL_TIMESTAMP
        return TipoCampo::DateTime;
    case 520: // SQL_BLOB
        return c.subType == 1 ? TipoCampo::Memo : TipoCampo::Blob;
    default:
        return TipoCampo::String;
    }
}

// Delphi-style date/time format ("dd/mm/yyyy", "hh:nn") into Qt's.
QString formatoQt(QString f)
{
    f.replace(QStringLiteral("nn"), QStringLiteral("mm"));
    // "mm" after "hh" means minutes; elsewhere months.
    QString out;
    bool afterHour = false;
    for (int i = 0; i < f.size();) {
        if (f.mid(i, 2).compare(QStringLiteral("hh"), Qt::CaseInsensitive) == 0) {
            out += QStringLiteral("hh");
            afterHour = true;
            i += 2;
        } else if (f.mid(i, 2) == QStringLiteral("mm")) {
            out += afterHour ? QStringLiteral("mm") : QStringLiteral("MM");
            i += 2;
        } else {
            out += f[i];
            ++i;
        }
    }
    return out;
}

QString textoFloat(double v)
{
    // General format with a decimal comma, as the workstation shows numbers.
    QString s = QString::number(v, 'g', 15);
    if (s.contains(u'e')) s = QString::number(v, 'f', 6);
    s.replace(u'.', u',');
    return s;
}

} // namespace

QString formataNumero(const QString& format, double value)
{
    const int dot = int(format.indexOf(u'.'));
    const QString intPart = dot < 0 ? format : format.left(dot);
    const QString decPart = dot < 0 ? QString() : format.mid(dot + 1);
    const bool grouping = intPart.contains(u',');
    const int minInt = int(intPart.count(u'0'));
    const int fixedDec = int(decPart.count(u'0'));
    const int optDec = int(decPart.count(u'#'));
    QString digits = QString::number(std::fabs(value), 'f', fixedDec + optDec);
    QString ip = digits, dp;
    if (const int p = int(digits.indexOf(u'.')); p >= 0) {
        ip = digits.left(p);
        dp = digits.mid(p + 1);
    }
    while (dp.size() > fixedDec && dp.endsWith(u'0'))
        dp.chop(1);
    // "#" placeholders drop a zero integer part
    if (ip == QStringLiteral("0") && minInt == 0) ip.clear();
    while (ip.size() < minInt)
        ip.prepend(u'0');
    if (grouping) {
        for (int i = int(ip.size()) - 3; i > 0; i -= 3)
            ip.insert(i, u'.');
    }
    QString out = ip;
    if (!dp.isEmpty()) out += u',' + dp;
    const bool negative = value < 0 && out.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negative ? u'-' + out : out;
}

// ---------------------------------------------------------------- Field

// ---------------------------------------------------------------- events

EventoDataset& EventoDataset::operator=(Funcao f)
{
    lista_.clear();
    if (f) lista_.push_back({++ultimo_, std::move(f)});
    return *this;
}

int EventoDataset::adiciona(Funcao f)
{
    if (!f) return 0;
    lista_.push_back({++ultimo_, std::move(f)});
    return ultimo_;
}

void EventoDataset::remove(int numero)
{
    for (int i = 0; i < lista_.size(); ++i)
        if (lista_[i].numero == numero) {
            lista_.remove(i);
            return;
        }
}

void EventoDataset::operator()(Dataset& d) const
{
    // A copy: a handler may hang or take off handlers of this same event.
    const QVector<Manipulador> lista = lista_;
    for (const Manipulador& m : lista)
        m.funcao(d);
}

Field::Field(Dataset* dataset, const QString& name) : dataset_(dataset), name_(name.toUpper()) {}

QString Field::fullName() const
{
    return dataset_->name() + name_;
}

QVariant Field::value() const
{
    const Dataset::Row* row = dataset_->currentRowConst();
    if (!row || index_ < 0 || index_ >= row->size()) return {};
    return (*row)[index_];
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const
{
    if (isNull()) return {};
    switch (tipo_) {
    case TipoCampo::String:
    case TipoCampo::Memo:
        return value().toString();
    case TipoCampo::Blob:
        return QString::fromUtf8(value().toByteArray());
    default:
        return text();
    }
}

int Field::asInteger() const
{
    if (isNull()) return 0;
    if (tipo_ == TipoCampo::String) {
        bool ok = false;
        const int v = value().toString().trimmed().toInt(&ok);
        if (!ok) throw fb::Error(QStringLiteral("'%1' não é um valor inteiro válido").arg(value().toString()));
        return v;
    }
    return int(std::llround(value().toDouble()));
}

double Field::asFloat() const
{
    return isNull() ? 0.0 : value().toDouble();
}
QDate Field::asDate() const
{
    return tipo_ == TipoCampo::DateTime ? value().toDateTime().date() : value().toDate();
}
QTime Field::asTime() const
{
    return tipo_ == TipoCampo::DateTime ? value().toDateTime().time() : value().toTime();
}
QDateTime Field::asDateTime() const
{
    if (tipo_ == TipoCampo::Date && !isNull()) return QDateTime(value().toDate(), QTime(0, 0));
    return value().toDateTime();
}
QByteArray Field::asBytes() const
{
    if (tipo_ == TipoCampo::Memo || tipo_ == TipoCampo::String) return value().toString().toUtf8();
    return value().toByteArray();
}

QVariant Field::oldValue() const
{
    const int r = dataset_->current_;
    if (dataset_->state_ == EstadoDataset::Insert || r < 0 || index_ < 0) return {};
    return dataset_->rows_[r][index_];
}

void Field::setValue(const QVariant& input)
{
    Dataset& ds = *dataset_;
    const bool calcContext = calculated_ && ds.calculating_;
    if (!calcContext && !ds.isEditing())
        throw fb::Error(QStringLiteral("O conjunto de dados %1 não está em modo de edição").arg(ds.name()));
    if (index_ < 0) throw fb::Error(QStringLiteral("Campo '%1' não encontrado").arg(name_));
    QVariant v = input;
    if (v.isValid() && !v.isNull()) {
        if (v.typeId() == QMetaType::QString && !isStringType(tipo_) && tipo_ != TipoCampo::Blob)
            v = converteTexto(v.toString());
        else if (tipo_ == TipoCampo::String && v.typeId() != QMetaType::QString)
            v = v.toString();
        if (tipo_ == TipoCampo::String && v.toString().isEmpty())
            v = QVariant(); // an empty text is no value, as the required check sees it
    }
    if (tipo_ == TipoCampo::String && size_ > 0 && v.toString().size() > size_)
        throw fb::Error(QStringLiteral("O campo '%1' aceita no máximo %2 caracteres").arg(displayLabel()).arg(size_));
    Dataset::Row& row = calcContext ? *ds.calcTarget_ : ds.buffer_;
    const QVariant old = row[index_];
    row[index_] = v;
    if (calcContext) return;
    const bool wasAssigned = ds.assigned_.contains(index_);
    ds.assigned_.insert(index_);
    if (onValidate) {
        try {
            onValidate(*this);
        } catch (...) {
            // A rule may have ended the edit itself (the row as stored is shown again then).
            if (ds.isEditing()) {
                row[index_] = old;
                if (!wasAssigned) ds.assigned_.remove(index_);
                ds.notifyField(this);
            }
            throw;
        }
    }
    ds.calcRow(ds.buffer_);
    if (onChange) onChange(*this);
    ds.notifyField(this);
}

void Field::setText(const QString& text)
{
    if (onSetText)
        onSetText(*this, text);
    else
        setValue(converteTexto(text));
}

QVariant Field::converteTexto(const QString& text) const
{
    const QString t = text.trimmed();
    switch (tipo_) {
    case TipoCampo::String:
    case TipoCampo::Memo:
        return text.isEmpty() ? QVariant() : QVariant(text);
    case TipoCampo::Blob:
        return text.isEmpty() ? QVariant() : QVariant(text.toUtf8());
    case TipoCampo::Integer: {
        if (t.isEmpty()) return {};
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        // A number the column cannot hold is no valid value of it (the server would refuse the post).
        if (!ok || (maiorInteiro_ > 0 && (v > maiorInteiro_ || v < -maiorInteiro_ - 1)))
            throw fb::Error(QStringLiteral("'%1' não é um valor inteiro válido").arg(text));
        return v;
    }
    case TipoCampo::Float: {
        if (t.isEmpty()) return {};
        QString n = t;
        if (n.contains(u',')) n.remove(u'.').replace(u',', u'.');
        bool ok = false;
        const double v = QLocale::c().toDouble(n, &ok);
        if (!ok) throw fb::Error(QStringLiteral("'%1' não é um valor de ponto flutuante válido").arg(text));
        return v;
    }
    case TipoCampo::Date: {
        if (t.isEmpty() || QString(t).remove(u'/').trimmed().isEmpty()) return {};
        for (const char* f : {"dd/MM/yyyy", "d/M/yyyy", "dd/MM/yy"}) {
            QDate d = QDate::fromString(text.trimmed(), QString::fromLatin1(f));
            if (d.isValid()) {
                if (QString::fromLatin1(f).endsWith(QStringLiteral("/yy")) && d.year() < 1950) d = d.addYears(100);
                return d;
            }
        }
        throw fb::Error(QStringLiteral("'%1' não é uma data válida").arg(text));
    }
    case TipoCampo::Time: {
        if (t.isEmpty() || QString(t).remove(u':').trimmed().isEmpty()) return {};
        for (const char* f : {"hh:mm", "hh:mm:ss", "h:mm", "h:mm:ss"}) {
            const QTime tm = QTime::fromString(t, QString::fromLatin1(f));
            if (tm.isValid()) return tm;
        }
        throw fb::Error(QStringLiteral("'%1' não é uma hora válida").arg(text));
    }
    case TipoCampo::DateTime: {
        if (t.isEmpty()) return {};
        for (const char* f : {"dd/MM/yyyy hh:mm:ss", "dd/MM/yyyy hh:mm", "dd/MM/yyyy"}) {
            const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
            if (dt.isValid()) return dt;
        }
        throw fb::Error(QStringLiteral("'%1' não é uma data e hora válida").arg(text));
    }
    }
    return {};
}

QString Field::text() const
{
    if (isNull()) return {};
    const QVariant v = value();
    switch (tipo_) {
    case TipoCampo::Integer:
        return QString::number(v.toLongLong());
    case TipoCampo::Float:
        return textoFloat(v.toDouble());
    case TipoCampo::Date:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case TipoCampo::Time:
        return v.toTime().toString(QStringLiteral("hh:mm"));
    case TipoCampo::DateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case TipoCampo::Blob:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

QString Field::displayText() const
{
    if (isNull()) return {};
    if (displayFormat_.isEmpty()) {
        if (tipo_ == TipoCampo::DateTime) return value().toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
        return text();
    }
    switch (tipo_) {
    case TipoCampo::Integer:
    case TipoCampo::Float:
        return formataNumero(displayFormat_, value().toDouble());
    case TipoCampo::Date:
        return value().toDate().toString(formatoQt(displayFormat_));
    case TipoCampo::Time:
        return value().toTime().toString(formatoQt(displayFormat_));
    case TipoCampo::DateTime:
        return value().toDateTime().toString(formatoQt(displayFormat_));
    default:
        return text();
    }
}

// ---------------------------------------------------------------- Dataset

namespace {

// The live datasets, so that a connection made again reaches the screens' own as well. Never freed:
// a dataset may outlive the static objects at the end.
QList<Dataset*>& registro()
{
    static auto* todos = new QList<Dataset*>;
    return *todos;
}

} // namespace

Dataset::Dataset(const QString& name, fb::Attachment* attachment, fb::Transaction* transaction, QObject* parent)
    : QObject(parent), name_(name), att_(attachment), tra_(transaction)
{
    setObjectName(name);
    registro().append(this);
}

Dataset::~Dataset()
{
    registro().removeOne(this);
    cursor_.reset();
    qDeleteAll(fieldList_);
}

void Dataset::setDatabase(fb::Attachment* attachment, fb::Transaction* transaction)
{
    close();
    att_ = attachment;
    tra_ = transaction;
}

void Dataset::setSQL(const QStringList& lines)
{
    if (active()) close();
    sql_ = lines;
}

void Dataset::setLinha(int n, const QString& text)
{
    if (active()) close();
    while (sql_.size() <= n)
        sql_ << QString();
    sql_[n] = text;
}

void Dataset::setParametro(const QString& name, const QVariant& value)
{
    params_[name.toUpper()] = value;
}

void Dataset::setTabela(const QString& table, const QString& keyField, bool keyFromGenerator,
                        const QStringList& naoGravadas)
{
    table_ = table.toUpper();
    keyField_ = keyField.toUpper();
    keyFromGenerator_ = keyFromGenerator;
    // The column list comes from the table itself, in its own order.
    fb::Statement s(*att_, *tra_,
                    QStringLiteral("select trim(RDB$FIELD_NAME) from RDB$RELATION_FIELDS "
                                   "where RDB$RELATION_NAME = :T order by RDB$FIELD_POSITION"));
    s.setParameter(QStringLiteral("T"), table_);
    s.execute();
    QStringList cols;
    while (s.fetch())
        cols << s.value(0).toString();
    if (cols.isEmpty()) throw fb::Error(QStringLiteral("Tabela %1 não encontrada").arg(table_));
    auto naoGrava = [&](const QString& c) { return naoGravadas.contains(c, Qt::CaseInsensitive); };
    QStringList inseridas, params;
    for (const QString& c : cols) {
        if (naoGrava(c) && c != keyField_) continue;
        inseridas << c;
        params << u':' + c;
    }
    insertSQL = QStringLiteral("insert into %1 (%2) values (%3)")
                    .arg(table_, inseridas.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    if (keyFromGenerator_) insertSQL += QStringLiteral(" returning ") + keyField_; // the key the database gave the row
    columns_.clear();
    for (const QString& c : cols)
        if (!naoGrava(c)) columns_ << c;
    modifySQL = updateSQL(columns_);
    deleteSQL = QStringLiteral("delete from %1 where %2 = :OLD_%2").arg(table_, keyField_);
    refreshSQL =
        QStringLiteral("Select %1 from %2 where %3 = :%3").arg(cols.join(QStringLiteral(", ")), table_, keyField_);
}

Field& Dataset::addCalculatedField(const QString& name, TipoCampo tipo, int size)
{
    Field* f = findField(name);
    if (!f) {
        f = new Field(this, name);
        fieldList_ << f;
    }
    f->calculated_ = true;
    f->tipo_ = tipo;
    f->size_ = size;
    return *f;
}

Field* Dataset::findField(const QString& name) const
{
    for (Field* f : fieldList_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

Field& Dataset::field(const QString& name)
{
    if (Field* f = findField(name)) return *f;
    if (active()) throw fb::Error(QStringLiteral("%1: Campo '%2' não encontrado").arg(name_, name));
    auto* f = new Field(this, name);
    fieldList_ << f;
    return *f;
}

QVariant Dataset::value(const QString& name) const
{
    Field* f = findField(name);
    if (!f) throw fb::Error(QStringLiteral("%1: Campo '%2' não encontrado").arg(name_, name));
    return f->value();
}

void Dataset::bindFields()
{
    const int n = cursor_->columnCount();
    columnCount_ = n;
    for (Field* f : fieldList_)
        if (!f->calculated_) f->index_ = -1;
    for (int i = 0; i < n; ++i) {
        const fb::Column& c = cursor_->column(i);
        Field* f = findField(c.alias);
        if (!f) {
            f = new Field(this, c.alias);
            fieldList_ << f;
        }
        f->index_ = i;
        f->tipo_ = tipoDaColuna(c);
        f->size_ = f->tipo_ == TipoCampo::String ? int(c.charLength) : 0;
        f->maiorInteiro_ =
            f->tipo_ == TipoCampo::Integer && c.length > 0 && c.length < 8 ? (qint64(1) << (8 * c.length - 1)) - 1 : 0;
        if (!f->requiredSet_) f->required_ = !c.nullable && !(keyFromGenerator_ && f->name_ == keyField_);
    }
    int k = n;
    for (Field* f : fieldList_)
        if (f->calculated_) f->index_ = k++;
    calcCount_ = k - n;
}

void Dataset::open()
{
    if (active()) return;
    if (!att_ || !tra_) throw fb::Error(QStringLiteral("%1: sem conexão com o banco de dados").arg(name_));
    if (beforeOpen) beforeOpen(*this);
    std::unique_ptr<fb::Statement> st;
    try {
        st = std::make_unique<fb::Statement>(*att_, *tra_, sql_.join(u'\n'));
        for (const QString& p : st->parameterNames())
            st->setParameter(p, params_.value(p));
        st->execute();
    } catch (const fb::Error& e) {
        abrirNaVolta_ = e.isConnectionLost(); // the screen gets its rows once the connection is back
        throw;
    }
    abrirNaVolta_ = releitura_ = false;
    cursor_ = std::move(st);
    bindFields();
    rows_.clear();
    current_ = -1;
    state_ = EstadoDataset::Browse;
    fetchRow();
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    if (afterOpen) afterOpen(*this);
    Q_EMIT stateChanged();
    Q_EMIT rowsChanged();
    notifyRecord();
}

void Dataset::close()
{
    abrirNaVolta_ = releitura_ = false;
    if (!active()) return;
    if (beforeClose) beforeClose(*this);
    cursor_.reset();
    rows_.clear();
    buffer_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    state_ = EstadoDataset::Inactive;
    if (afterClose) afterClose(*this);
    Q_EMIT stateChanged();
    Q_EMIT rowsChanged();
    notifyRecord();
}

void Dataset::fetchRow()
{
    if (!cursor_) return;
    if (!cursor_->fetch()) {
        cursor_.reset(); // every row is in; release the cursor
        return;
    }
    Row row = cursor_->row();
    row.resize(rowWidth());
    calcRow(row);
    rows_ << row;
}

bool Dataset::fetchMore(int count)
{
    const int before = int(rows_.size());
    for (int i = 0; i < count && cursor_; ++i)
        fetchRow();
    if (rows_.size() != before) Q_EMIT rowsChanged();
    return rows_.size() > before;
}

void Dataset::fetchAll()
{
    const int before = int(rows_.size());
    while (cursor_)
        fetchRow();
    if (rows_.size() != before) Q_EMIT rowsChanged();
}

void Dataset::calcRow(Row& row)
{
    if (!onCalcFields) return;
    Row* saved = calcTarget_;
    calcTarget_ = &row;
    const bool wasCalculating = calculating_;
    calculating_ = true;
    try {
        onCalcFields(*this);
    } catch (...) {
        calculating_ = wasCalculating;
        calcTarget_ = saved;
        throw;
    }
    calculating_ = wasCalculating;
    calcTarget_ = saved;
}

const Dataset::Row* Dataset::currentRowConst() const
{
    if (calculating_ && calcTarget_) return calcTarget_;
    if (isEditing()) return &buffer_;
    if (current_ >= 0 && current_ < rows_.size()) return &rows_[current_];
    return nullptr;
}

bool Dataset::isEmpty() const
{
    return rows_.isEmpty() && state_ != EstadoDataset::Insert;
}

void Dataset::ensureRow(int row)
{
    const int before = int(rows_.size());
    while (rows_.size() <= row && cursor_)
        fetchRow();
    if (rows_.size() != before) Q_EMIT rowsChanged();
}

void Dataset::checkBrowseOrEdit() const
{
    if (!active()) throw fb::Error(QStringLiteral("%1: o conjunto de dados está fechado").arg(name_));
}

void Dataset::moveTo(int row)
{
    checkBrowseOrEdit();
    if (isEditing()) post();
    if (row < 0) row = 0;
    ensureRow(row);
    const int target = rows_.isEmpty() ? -1 : qMin(row, int(rows_.size()) - 1);
    const bool moved = target != current_;
    current_ = target;
    bof_ = current_ <= 0;
    eof_ = rows_.isEmpty() || (current_ == rows_.size() - 1 && !cursor_);
    if (moved) {
        notifyRecord();
        if (afterScroll) afterScroll(*this);
    }
}

void Dataset::first()
{
    moveTo(0);
    bof_ = true;
}

void Dataset::next()
{
    checkBrowseOrEdit();
    if (isEditing()) post();
    ensureRow(current_ + 1);
    if (current_ + 1 < rows_.size()) {
        moveTo(current_ + 1);
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::prior()
{
    checkBrowseOrEdit();
    if (current_ > 0) {
        moveTo(current_ - 1);
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void Dataset::last()
{
    checkBrowseOrEdit();
    fetchAll();
    moveTo(int(rows_.size()) - 1);
    eof_ = true;
}

bool Dataset::locate(const QStringList& names, const QVariantList& values, bool caseInsensitive, bool partialKey)
{
    checkBrowseOrEdit();
    QVector<int> idx;
    for (const QString& n : names) {
        Field* f = findField(n);
        if (!f) throw fb::Error(QStringLiteral("%1: Campo '%2' não encontrado").arg(name_, n));
        idx << f->index_;
    }
    auto matches = [&](const Row& r) {
        for (int k = 0; k < idx.size(); ++k) {
            const QVariant& a = r[idx[k]];
            const QVariant& b = values[k];
            if (!a.isValid() || !b.isValid()) {
                if (a.isValid() != b.isValid()) return false;
                continue;
            }
            if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
                const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
                const QString sa = a.toString(), sb = b.toString();
                if (partialKey ? !sa.startsWith(sb, cs) : sa.compare(sb, cs) != 0) return false;
            } else if (a.toDouble() != b.toDouble() && a != b) {
                return false;
            }
        }
        return true;
    };
    for (int i = 0;; ++i) {
        ensureRow(i);
        if (i >= rows_.size()) return false;
        if (matches(rows_[i])) {
            moveTo(i);
            return true;
        }
    }
}

void Dataset::setState(EstadoDataset s)
{
    if (state_ == s) return;
    state_ = s;
    Q_EMIT stateChanged();
}

void Dataset::append()
{
    checkBrowseOrEdit();
    if (isEditing()) post();
    chaveIncerta_ = QVariant();
    buffer_ = Row(rowWidth());
    insertAt_ = int(rows_.size());
    setState(EstadoDataset::Insert);
    calcRow(buffer_);
    try {
        if (afterInsert) afterInsert(*this);
    } catch (...) {
        buffer_.clear();
        setState(EstadoDataset::Browse);
        notifyRecord();
        throw;
    }
    notifyRecord();
}

void Dataset::edit()
{
    checkBrowseOrEdit();
    if (isEditing()) return;
    if (rows_.isEmpty()) {
        append();
        return;
    }
    if (beforeEdit) beforeEdit(*this);
    buffer_ = rows_[current_];
    assigned_.clear();
    setState(EstadoDataset::Edit);
    if (afterEdit) afterEdit(*this);
    notifyRecord();
}

void Dataset::runRowStatement(const QString& sql, const Row& values, const Row& old, bool readBack)
{
    fb::Statement st(*att_, *tra_, sql);
    for (const QString& p : st.parameterNames()) {
        const bool isOld = p.startsWith(QStringLiteral("OLD_"));
        Field* f = findField(isOld ? p.mid(4) : p);
        if (!f) f = findField(p);
        QVariant v;
        if (f && f->index_ >= 0) {
            const Row& src = isOld && !old.isEmpty() ? old : values;
            if (f->index_ < src.size()) v = src[f->index_];
        }
        st.setParameter(p, v);
    }
    st.execute();
    if (readBack && st.columnCount() > 0) {
        for (int i = 0; i < st.columnCount(); ++i)
            if (Field* f = findField(st.column(i).alias); f && f->index_ >= 0) buffer_[f->index_] = st.value(i);
    }
}

QString Dataset::updateSQL(const QStringList& columns) const
{
    QStringList sets;
    for (const QString& c : columns)
        sets << c + QStringLiteral(" = :") + c;
    return QStringLiteral("update %1 set %2 where %3 = :OLD_%3")
        .arg(table_, sets.join(QStringLiteral(", ")), keyField_);
}

QString Dataset::changedColumnsUpdate(const Row& values, const Row& old) const
{
    QStringList changed;
    for (const QString& c : columns_) {
        const Field* f = findField(c);
        if (!f || f->index_ < 0) continue;
        const QVariant a = f->index_ < values.size() ? values[f->index_] : QVariant();
        const QVariant b = f->index_ < old.size() ? old[f->index_] : QVariant();
        // A column given a value during this edit is written even when the value read before was
        // the same (the stored one may have changed since). Any doubt counts as a change.
        if (assigned_.contains(f->index_) || a.isValid() != b.isValid() ||
            (a.isValid() && (a.metaType() != b.metaType() || a != b)))
            changed << c;
    }
    if (changed.isEmpty()) return {}; // nothing changed: nothing to write
    return updateSQL(changed);
}

void Dataset::post()
{
    if (!isEditing()) return;
    if (beforePost) beforePost(*this);
    for (Field* f : fieldList_) {
        if (f->required_ && !f->calculated_ && f->index_ >= 0 &&
            (!buffer_[f->index_].isValid() || buffer_[f->index_].isNull()))
            throw fb::Error(QStringLiteral("Campo '%1' deve possuir um valor").arg(f->displayLabel()));
    }
    const EstadoDataset antes = state_;
    const Row digitado = buffer_;
    const int posicaoAntes = current_;
    const Field* chave = keyField_.isEmpty() ? nullptr : findField(keyField_);
    if (state_ == EstadoDataset::Insert) {
        if (insertSQL.isEmpty()) throw fb::Error(QStringLiteral("%1: não é possível incluir registros").arg(name_));
        chaveInserida_ = QVariant();
        if (chave && chave->index_ >= 0 && gravadaAntesDaQueda()) {
            // The commit lost with the connection had reached the server: the row is there already.
            buffer_[chave->index_] = chaveIncerta_;
        } else {
            runRowStatement(insertSQL, buffer_, {}, true);
        }
        chaveInserida_ = chave && chave->index_ >= 0 ? buffer_[chave->index_] : QVariant();
        calcRow(buffer_);
        const int at = qBound(0, insertAt_, int(rows_.size()));
        rows_.insert(at, buffer_);
        current_ = at;
        Q_EMIT rowsChanged();
    } else {
        if (modifySQL.isEmpty()) throw fb::Error(QStringLiteral("%1: não é possível alterar registros").arg(name_));
        const QString sql = columns_.isEmpty() ? modifySQL : changedColumnsUpdate(buffer_, rows_[current_]);
        if (!sql.isEmpty()) runRowStatement(sql, buffer_, rows_[current_], false);
        calcRow(buffer_);
        lidoAntes_ = rows_[current_];
        rows_[current_] = buffer_;
    }
    buffer_.clear();
    eof_ = bof_ = false;
    setState(EstadoDataset::Browse);
    notifyRecord();
    try {
        if (afterPost) afterPost(*this);
    } catch (const fb::Error& e) {
        // The commit went with the connection: the server undid the row (or kept it, when the
        // commit reached it first). What was typed comes back to the screen, to be confirmed again
        // once the server is back; the key the row got tells then whether it is stored already.
        if (!e.isConnectionLost() || state_ != EstadoDataset::Browse || current_ < 0 || current_ >= rows_.size()) throw;
        if (antes == EstadoDataset::Insert) {
            chaveIncerta_ = chaveInserida_;
            rows_.remove(current_);
            current_ = qMin(posicaoAntes, int(rows_.size()) - 1);
            Q_EMIT rowsChanged();
        } else {
            rows_[current_] = lidoAntes_;
        }
        buffer_ = digitado;
        setState(antes);
        notifyRecord();
        throw;
    }
    chaveIncerta_ = QVariant();
    if (releitura_ && state_ == EstadoDataset::Browse) reabreNaPosicao();
}

bool Dataset::gravadaAntesDaQueda()
{
    if (!chaveIncerta_.isValid() || table_.isEmpty()) return false;
    fb::Statement st(*att_, *tra_, QStringLiteral("select 1 from %1 where %2 = :CHAVE").arg(table_, keyField_));
    st.setParameter(QStringLiteral("CHAVE"), chaveIncerta_);
    st.execute();
    const bool existe = st.fetch();
    if (!existe) chaveIncerta_ = QVariant();
    return existe;
}

void Dataset::cancel()
{
    if (!isEditing()) return;
    chaveIncerta_ = QVariant();
    buffer_.clear();
    setState(EstadoDataset::Browse);
    if (afterCancel) afterCancel(*this);
    notifyRecord();
    if (releitura_) reabreNaPosicao();
}

QList<Dataset*> Dataset::ligadosA(const fb::Attachment* attachment)
{
    QList<Dataset*> ligados;
    for (Dataset* d : registro())
        if (d->att_ == attachment) ligados << d;
    return ligados;
}

void Dataset::soltaConexao()
{
    if (!cursor_) return;
    cursor_.reset();
    releitura_ = true; // the rows read so far are all there is until they are read again
}

void Dataset::retomaConexao()
{
    if (!active()) {
        if (abrirNaVolta_) open();
        return;
    }
    if (isEditing()) {
        // The rows read before stay until the post: they hold the values the change started from.
        soltaConexao();
        releitura_ = true;
        return;
    }
    reabreNaPosicao();
}

void Dataset::reabreNaPosicao()
{
    const int marcador = bookmark();
    // A list read without a table of its own (the shared meal list) still has its rows' ID.
    Field* chave = findField(keyField_.isEmpty() ? QStringLiteral("ID") : keyField_);
    const QVariant valor = chave && chave->index_ >= 0 ? chave->value() : QVariant();
    close();
    open();
    gotoBookmark(marcador);
    // Rows added or removed before it meanwhile: the same row, when it is among those read or
    // a little further on.
    if (!valor.isValid() || current_ < 0 || chave->index_ < 0 || rows_[current_][chave->index_] == valor) return;
    const int limite = marcador + ProcuraAdiante;
    for (int i = 0; i < rows_.size() || (i < limite && fetchMore(1)); ++i)
        if (rows_[i][chave->index_] == valor) {
            moveTo(i);
            return;
        }
}

void Dataset::deleteRecord()
{
    checkBrowseOrEdit();
    if (state_ == EstadoDataset::Insert) {
        cancel();
        return;
    }
    if (isEditing()) cancel();
    if (rows_.isEmpty()) throw fb::Error(QStringLiteral("Não é possível excluir: não há registro"));
    if (beforeDelete) beforeDelete(*this);
    if (deleteSQL.isEmpty()) throw fb::Error(QStringLiteral("%1: não é possível excluir registros").arg(name_));
    runRowStatement(deleteSQL, rows_[current_], rows_[current_], false);
    rows_.remove(current_);
    ensureRow(current_);
    if (current_ >= rows_.size()) current_ = int(rows_.size()) - 1;
    eof_ = rows_.isEmpty();
    Q_EMIT rowsChanged();
    notifyRecord();
    if (afterDelete) afterDelete(*this);
}

void Dataset::refresh()
{
    checkBrowseOrEdit();
    if (isEditing() || current_ < 0 || refreshSQL.isEmpty()) return;
    fb::Statement st(*att_, *tra_, refreshSQL);
    const Row& cur = rows_[current_];
    for (const QString& p : st.parameterNames()) {
        Field* f = findField(p);
        st.setParameter(p, f && f->index_ >= 0 ? cur[f->index_] : QVariant());
    }
    st.execute();
    if (!st.fetch()) return; // gone meanwhile: keep what we have
    Row row = cur;
    for (int i = 0; i < st.columnCount(); ++i)
        if (Field* f = findField(st.column(i).alias); f && f->index_ >= 0 && !f->calculated_)
            row[f->index_] = st.value(i);
    calcRow(row);
    rows_[current_] = row;
    notifyRecord();
}

QVariant Dataset::valueAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rows_.size()) return {};
    const Field* f = fieldList_.value(fieldIndex);
    if (!f || f->index_ < 0) return {};
    const Row& r = (isEditing() && row == current_ && state_ == EstadoDataset::Edit) ? buffer_ : rows_[row];
    return f->index_ < r.size() ? r[f->index_] : QVariant();
}

QString Dataset::displayTextAt(int row, int fieldIndex) const
{
    Field* f = fieldList_.value(fieldIndex);
    if (!f || row < 0 || row >= rows_.size()) return {};
    // Format through the field with the row made current for the moment.
    auto* self = const_cast<Dataset*>(this);
    Row copy = (isEditing() && row == current_ && state_ == EstadoDataset::Edit) ? buffer_ : rows_[row];
    Row* saved = self->calcTarget_;
    const bool wasCalc = self->calculating_;
    self->calcTarget_ = &copy;
    self->calculating_ = true;
    const QString s = f->displayText();
    self->calcTarget_ = saved;
    self->calculating_ = wasCalc;
    return s;
}

void Dataset::disableControls()
{
    ++disabled_;
}

void Dataset::enableControls()
{
    if (disabled_ > 0 && --disabled_ == 0 && pendingNotify_) {
        pendingNotify_ = false;
        Q_EMIT stateChanged();
        Q_EMIT recordChanged();
    }
}

void Dataset::notifyRecord()
{
    if (disabled_ > 0) {
        pendingNotify_ = true;
        return;
    }
    Q_EMIT recordChanged();
}

void Dataset::notifyField(Field* f)
{
    if (disabled_ > 0) {
        pendingNotify_ = true;
        return;
    }
    Q_EMIT fieldChanged(f);
}
