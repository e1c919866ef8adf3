#pragma once
// The link between one data-aware widget and one field of a Dataset, named by field name.
// Every data-aware widget owns one: it follows the dataset's state and current record, shows the
// field's value, lets the user type only while the record is being written (or opens it for
// change when typing, if the screen wants that), and writes the widget's content through the
// field when the user leaves the widget. A failed write shows the field's value again and
// reaches the error report.

#include "data/dataset.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <stdexcept>

class QWidget;

// Typed text the widget cannot accept yet (a mask with required positions left blank): the text
// stays in the widget for correction instead of being replaced by the field's value.
class EntradaInvalida : public std::runtime_error
{
public:
    explicit EntradaInvalida(const QString& mensagem) : std::runtime_error(mensagem.toStdString()) {}
};

class LigacaoCampo : public QObject
{
    Q_OBJECT
public:
    enum class Tipo { Edicao, Memo, Lista, Outro };

    // What each widget supplies.
    class Controle
    {
    public:
        virtual ~Controle() = default;
        virtual void mostraCampo(Field* campo) = 0; // nullptr: nothing to show
        virtual void aplicaSomenteLeitura(bool somenteLeitura) = 0;
        virtual void gravaCampo(Field& campo) = 0; // may throw
        virtual bool vazio() const = 0;
        virtual void configuraCampo(Field*) {} // the field was found (size, mask)
    };

    LigacaoCampo(QWidget* widget, Controle* controle, Tipo tipo);
    ~LigacaoCampo() override;

    void liga(Dataset* dataset, const QString& nomeCampo);
    Dataset* dataset() const { return ds_; }
    QString nomeCampo() const { return nomeCampo_; }
    Field* campo() const; // nullptr when unbound or the dataset does not have it (yet)
    QWidget* widget() const { return widget_; }
    Tipo tipo() const { return tipo_; }

    // Typing into a browsed record opens it for change (company and meal screens). Off: while
    // browsing the widget is read-only and a change starts only with the screen's buttons.
    void setEditaAoDigitar(bool sim);
    bool editaAoDigitar() const { return editaAoDigitar_; }
    // A value its field refuses (a rule of the field said no) stays in the widget, selected, so
    // the user corrects a character instead of typing it all again; the field keeps its previous
    // value and the next write tries again. Off: the widget shows the field's value again.
    void setMantemRecusado(bool sim) { mantemRecusado_ = sim; }
    // Read-only whatever the state.
    void setSomenteLeitura(bool sim);
    bool somenteLeitura() const { return somenteLeitura_; }

    // Replaces the field's own text on display (a code shown as its description, say).
    std::function<QString(const Field&)> textoDoCampo;
    QString textoParaMostrar(bool paraEdicao) const;

    // The widget may take the user's changes now (possibly by opening the record for change).
    bool aceitaDigitacao() const;
    bool editando() const;
    // Called before a change of the user is applied: opens a browsed record for change when the
    // widget edits on typing. False: the change must not happen.
    bool preparaEdicao();

    void marcaModificado() { modificado_ = true; }
    bool modificado() const { return modificado_; }
    // Writes the widget's content when the user changed it. On failure the widget shows the
    // field's value again (unless the text is kept for correction) and the error is reported.
    bool grava();
    // Esc: forget the typed text and show the field's value.
    void descarta();
    // Shows the value and applies the state again.
    void atualiza();

    bool vazio() const { return !controle_ || controle_->vazio(); }
    // Called by the widget's destructor: from then on the link does nothing, as signals (a focus
    // change while the screen is being destroyed) may still arrive before the link itself goes.
    void soltaControle();

    // The link of a data-aware widget, or nullptr.
    static LigacaoCampo* de(const QObject* widget);
    // Writes every changed widget bound to dataset; throws Abort when one failed (already reported).
    // Called before posting, as a button that takes no focus leaves the typed text unwritten.
    static void gravaPendentes(Dataset* dataset);
    // The text without the halves of characters that a length limit cut (a lone UTF-16 surrogate).
    static QString semMeioCaractere(const QString& texto);

private:
    void aoMudarEstado();
    void aoMudarRegistro();
    void aoMudarCampo(Field* f);
    void mostra();

    QWidget* widget_;
    Controle* controle_;
    Tipo tipo_;
    QPointer<Dataset> ds_;
    QString nomeCampo_;
    Field* configurado_ = nullptr; // the field configureCampo last saw
    // Its type and size then: a field created before the dataset opened learns them on opening.
    TipoCampo tipoConfigurado_ = TipoCampo::String;
    int tamanhoConfigurado_ = -1;
    bool editaAoDigitar_ = false;
    bool somenteLeitura_ = false;
    bool mantemRecusado_ = false;
    bool gravando_ = false;
    bool modificado_ = false;
    QList<QMetaObject::Connection> conexoes_;
};
