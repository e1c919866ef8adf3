#pragma once
// The editable SQL dataset every screen works through: a select statement held as numbered lines,
// the insert/modify/delete/refresh statements, a current row with an editing state, named fields
// with their display rules and hooks, and events. Rows are fetched from the open cursor only as
// far as they are needed, so a list over millions of rows costs only what is shown.

#include "data/firebird.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>
#include <exception>
#include <functional>
#include <memory>

// A silent exception: the action in progress ends with no further message (a validation has
// already shown its own box). The application's error report ignores it.
class Abort : public std::exception
{
public:
    const char* what() const noexcept override { return "Operação cancelada"; }
};

enum class EstadoDataset { Inactive, Browse, Edit, Insert };

enum class TipoCampo { String, Integer, Float, Date, Time, DateTime, Blob, Memo };

class Dataset;

// The handlers of one dataset event, run in the order they were hung. Assigning replaces them all
// by one: the dataset's own handler, set where the dataset is made. A screen that shares a dataset
// with others hangs its handler beside them with adiciona and takes it off with remove when it
// goes, so nobody has to swap a handler in and out around a call.
class EventoDataset
{
public:
    using Funcao = std::function<void(Dataset&)>;
    EventoDataset& operator=(Funcao f);
    int adiciona(Funcao f); // the number to remove it with
    void remove(int numero);
    explicit operator bool() const { return !lista_.empty(); }
    // Runs every handler; the first to throw ends the event (Abort included).
    void operator()(Dataset& d) const;

private:
    struct Manipulador
    {
        int numero;
        Funcao funcao;
    };
    QVector<Manipulador> lista_;
    int ultimo_ = 0;
};

class Field
{
public:
    Field(Dataset* dataset, const QString& name);

    const QString& fieldName() const { return name_; }
    QString fullName() const; // dataset name followed by the column: "UsuariosATIVO"
    Dataset* dataset() const { return dataset_; }

    TipoCampo tipo() const { return tipo_; }
    int size() const { return size_; } // characters, for text
    bool isCalculated() const { return calculated_; }

    QString displayLabel() const { return displayLabel_.isEmpty() ? name_ : displayLabel_; }
    void setDisplayLabel(const QString& label) { displayLabel_ = label; }
    bool required() const { return required_; }
    void setRequired(bool r)
    {
        required_ = r;
        requiredSet_ = true;
    }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool r) { readOnly_ = r; }
    // Mask in the three-part form "pattern;S;B" (S = 1 stores the literals too).
    QString editMask() const { return editMask_; }
    void setEditMask(const QString& mask) { editMask_ = mask; }
    // Display format: "#,###.000" for numbers, "dd/mm/yyyy" / "hh:mm" for dates and times.
    QString displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString& f) { displayFormat_ = f; }

    // Called with the new value already in the field; throwing (Abort after a message box)
    // puts the previous value back.
    std::function<void(Field&)> onValidate;
    // Replaces the conversion of typed text into the value.
    std::function<void(Field&, const QString&)> onSetText;
    // Called after the value changed.
    std::function<void(Field&)> onChange;

    QVariant value() const;
    bool isNull() const;
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    QTime asTime() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;
    QVariant oldValue() const; // the value the row had when it was read from the database

    // Needs the dataset in edit or insert state (calculated fields: inside calc-fields).
    void setValue(const QVariant& v);
    void clear() { setValue(QVariant()); }
    // Typed text: through onSetText when set, otherwise converted by the field's type.
    void setText(const QString& text);
    // Text for an edit box (no display format); display text applies the display format.
    QString text() const;
    QString displayText() const;

    // Converts text into a value of this field's type; throws fb::Error with a Portuguese text.
    QVariant converteTexto(const QString& text) const;

private:
    friend class Dataset;
    Dataset* dataset_;
    QString name_;
    TipoCampo tipo_ = TipoCampo::String;
    int size_ = 0;
    // Whole-number columns: the largest value they hold (0: not known).
    qint64 maiorInteiro_ = 0;
    int index_ = -1; // position in the row; calculated fields come after the columns
    bool calculated_ = false;
    bool required_ = false;
    bool requiredSet_ = false; // set by the screen: the column's NOT NULL no longer decides
    bool readOnly_ = false;
    QString displayLabel_, editMask_, displayFormat_;
};

class Dataset : public QObject
{
    Q_OBJECT
public:
    Dataset(const QString& name, fb::Attachment* attachment, fb::Transaction* transaction, QObject* parent = nullptr);
    ~Dataset() override;

    // The component name: navigation uses it as the table name, fields are named after it.
    QString name() const { return name_; }
    void setDatabase(fb::Attachment* attachment, fb::Transaction* transaction);
    fb::Attachment* attachment() const { return att_; }
    fb::Transaction* transaction() const { return tra_; }
    // Every dataset working on this connection, oldest first.
    static QList<Dataset*> ligadosA(const fb::Attachment* attachment);
    // The connection under this dataset is about to be made again: the cursor, dead with the old
    // one, is given up first (the client library frees a lost connection's cursors with it).
    void soltaConexao();
    // The connection was made again under this dataset; its cursor died with the old one. Open, it
    // reads its rows again and goes back to the row it showed; being written, it keeps what was
    // typed (the post runs on the new connection) and reads its rows again once it browses. One
    // whose last opening failed with the connection lost opens now.
    void retomaConexao();

    // ---- statements ----
    QStringList sql() const { return sql_; }
    void setSQL(const QStringList& lines);
    QString linha(int n) const { return n < sql_.size() ? sql_[n] : QString(); }
    void setLinha(int n, const QString& text); // dataset must be closed
    // Values of named parameters inside the select lines.
    void setParametro(const QString& name, const QVariant& value);
    void limpaParametros() { params_.clear(); }

    // Generates insert, modify, delete and refresh statements from the table's columns in table
    // order; keyField is the key ("ID", "PROGRAMA"). A key filled by a generator may be left empty.
    // A post of a change writes only the columns given a value during the edit (or changed
    // otherwise), so that another workstation's committed change to other columns is kept; a
    // dataset given no table writes its changes with its own modifySQL. naoGravadas: columns read
    // here but written only elsewhere; they stay out of the insert and the modify. The key named
    // there stays out of the modify only: the insert still sends it, empty, for the generator.
    void setTabela(const QString& table, const QString& keyField, bool keyFromGenerator = true,
                   const QStringList& naoGravadas = {});
    QString insertSQL, modifySQL, deleteSQL, refreshSQL;
    QString keyField() const { return keyField_; }
    // The key of the row the last post() inserted, as the database gave it; kept when an after-post
    // handler re-opens the dataset on a select that no longer shows the row. Invalid before any.
    QVariant chaveInserida() const { return chaveInserida_; }

    // Calculated fields are declared before the first open; calc-fields fills them.
    Field& addCalculatedField(const QString& name, TipoCampo tipo, int size = 0);

    // ---- state ----
    void open();
    void close();
    bool active() const { return state_ != EstadoDataset::Inactive; }
    EstadoDataset state() const { return state_; }
    bool isEditing() const { return state_ == EstadoDataset::Edit || state_ == EstadoDataset::Insert; }
    bool isEmpty() const;
    int recordCount() const { return int(rows_.size()); } // as far as fetched
    bool allFetched() const { return !cursor_; }
    bool fetchMore(int count); // false when the cursor had no more rows
    void fetchAll();
    int recNo() const { return current_; } // 0-based; -1 when empty
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }

    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row); // fetches as needed; past the end lands on the last row
    bool locate(const QStringList& fields, const QVariantList& values, bool caseInsensitive = false,
                bool partialKey = false);

    // Position of the current row, and back to it (a position past the end lands on the last row).
    int bookmark() const { return current_; }
    void gotoBookmark(int bookmark) { moveTo(bookmark); }

    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh(); // re-reads the current row through the refresh statement
    void checkBrowseOrEdit() const;

    // ---- fields ----
    const QVector<Field*>& fields() const { return fieldList_; }
    Field* findField(const QString& name) const;
    Field& field(const QString& name); // declares it when the dataset was never opened
    Field& operator[](const QString& name) { return field(name); }
    QVariant value(const QString& name) const;
    // Row values of any fetched row, for grids (calculated fields included).
    QVariant valueAt(int row, int fieldIndex) const;
    QString displayTextAt(int row, int fieldIndex) const;

    // Suspends the dataChanged/recordChanged notifications while navigating.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    // ---- events ----
    EventoDataset beforeOpen, afterOpen, beforeClose, afterClose;
    EventoDataset afterInsert, beforeEdit, afterEdit, beforePost, afterPost, afterCancel;
    EventoDataset beforeDelete, afterDelete, afterScroll;
    std::function<void(Dataset&)> onCalcFields;

Q_SIGNALS:
    void stateChanged();
    void recordChanged();        // another row became current, or the row was re-read
    void fieldChanged(Field* f); // one value changed while editing
    void rowsChanged();          // rows were added (fetch), removed or the set was re-read

private:
    friend class Field;
    using Row = QVector<QVariant>;

    void setState(EstadoDataset s);
    void bindFields();
    void fetchRow();
    void calcRow(Row& row);
    void ensureRow(int row);
    Row& currentRow();
    const Row* currentRowConst() const;
    void runRowStatement(const QString& sql, const Row& values, const Row& old, bool readBack);
    // "update T set C = :C, ... where KEY = :OLD_KEY" for the columns given.
    QString updateSQL(const QStringList& columns) const;
    QString changedColumnsUpdate(const Row& values, const Row& old) const;
    int rowWidth() const { return columnCount_ + calcCount_; }
    void notifyRecord();
    void notifyField(Field* f);
    void reabreNaPosicao();
    static constexpr int ProcuraAdiante = 1000; // rows read past the old position to find its row again

    QString name_;
    fb::Attachment* att_ = nullptr;
    fb::Transaction* tra_ = nullptr;
    QStringList sql_;
    QHash<QString, QVariant> params_;
    QString table_, keyField_;
    QStringList columns_; // the table's columns a change may write (setTabela)
    bool keyFromGenerator_ = false;
    QVariant chaveInserida_;
    // The key an insert got before its commit went with a lost connection: confirmed again, the
    // row is inserted only when the server does not hold it.
    QVariant chaveIncerta_;
    Row lidoAntes_; // the row as read, while a change's after-post runs
    bool gravadaAntesDaQueda();

    EstadoDataset state_ = EstadoDataset::Inactive;
    std::unique_ptr<fb::Statement> cursor_;
    QVector<Row> rows_;
    int current_ = -1;
    bool eof_ = true, bof_ = true;
    Row buffer_;         // the row being edited or inserted
    QSet<int> assigned_; // fields given a value during the current edit
    int insertAt_ = -1;  // where an inserted row goes
    bool calculating_ = false;
    Row* calcTarget_ = nullptr; // the row calc-fields (or a grid's formatting) is looking at
    int calcCount_ = 0;
    int disabled_ = 0;
    bool pendingNotify_ = false;
    bool releitura_ = false;    // the rows were read on a connection lost since
    bool abrirNaVolta_ = false; // the last open failed with the connection lost

    QVector<Field*> fieldList_;
    int columnCount_ = 0;
};

// Number formatting of the "#,###.000" kind with Brazilian separators (comma for decimals,
// period for thousands), independent of the machine's locale.
QString formataNumero(const QString& format, double value);
