#pragma once
// Every modal interaction of the screens goes through one service: message boxes, the "Ir Para"
// input box, the file-open dialog and the modal showing of windows. The program installs the Qt
// implementation; tests install DialogosRoteirizados, which answers from a queue and keeps a
// transcript, so that no test ever blocks on a box.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QObject;

enum class TipoCaixa { Simples, Informacao, Aviso, Erro, Confirmacao };

// Buttons of a message box. They combine as flags in the request; the answer is the one pressed.
namespace Botao {
enum Valor : int { Nenhum = 0, Ok = 0x01, Sim = 0x02, Nao = 0x04, Cancelar = 0x08 };
}

class Dialogos
{
public:
    Dialogos() = default;
    virtual ~Dialogos();
    Dialogos(const Dialogos&) = delete;
    Dialogos& operator=(const Dialogos&) = delete;

    // Shows a box with the given buttons (Botao flags) and returns the one pressed.
    virtual int mensagem(TipoCaixa tipo, const QString& titulo, const QString& texto, int botoes = Botao::Ok) = 0;
    // One-line input box; valor holds the initial text and receives the typed one. False: cancelled.
    virtual bool entrada(const QString& titulo, const QString& rotulo, QString& valor) = 0;
    // File-open dialog; empty text: cancelled.
    virtual QString abrirArquivo(const QString& titulo, const QString& filtro) = 0;
    // Shows a window (a dialog) modally and returns its result code.
    virtual int mostrarModal(QObject* janela) = 0;

    // The answer of a box closed without choosing: No, else Cancel, else OK.
    static int respostaPadrao(int botoes);
    // The caption a box of this kind carries when the caller gives none.
    static QString tituloPadrao(TipoCaixa tipo);
};

// The service in use. Until one is installed, a silent one answers every box as if it were
// closed (and logs it), so code without a display never blocks.
Dialogos& dialogos();
// Installs a service (not owned) and returns the previous one; nullptr returns to the silent one.
// A service that is destroyed while installed uninstalls itself.
Dialogos* defineDialogos(Dialogos* servico);

// Shortcuts with the usual buttons; an empty caption takes the kind's own.
void simples(const QString& texto, const QString& titulo = QString());
void informa(const QString& texto, const QString& titulo = QString());
void avisa(const QString& texto, const QString& titulo = QString());
void erro(const QString& texto, const QString& titulo = QString());
// Yes/No confirmation; true when the answer is Yes.
bool confirma(const QString& texto, const QString& titulo = QString());

// Scripted service for tests: answers come from queues, every request is recorded.
class DialogosRoteirizados : public Dialogos
{
public:
    struct Caixa
    {
        TipoCaixa tipo;
        QString titulo;
        QString texto;
        int botoes;
        int resposta;
    };
    struct Entrada
    {
        QString titulo;
        QString rotulo;
        QString valorInicial;
    };
    using RespostaModal = std::function<int(QObject* janela)>;

    // Next answer of a message box. An answer that is not among the box's buttons is a script
    // error: it is reported with a warning and the box gets its default answer instead.
    void responde(int botao);
    // Next answer of the input box: a text, or std::nullopt to cancel.
    void respondeEntrada(const std::optional<QString>& texto);
    // Next answer of the file-open dialog; empty text to cancel.
    void respondeArquivo(const QString& caminho);
    // Next result of a modal window, or a function that works the window and returns the result.
    void respondeModal(int codigo);
    void respondeModal(RespostaModal acao);

    int mensagem(TipoCaixa tipo, const QString& titulo, const QString& texto, int botoes = Botao::Ok) override;
    bool entrada(const QString& titulo, const QString& rotulo, QString& valor) override;
    QString abrirArquivo(const QString& titulo, const QString& filtro) override;
    int mostrarModal(QObject* janela) override;

    const QList<Caixa>& caixas() const { return caixas_; }
    const QList<Entrada>& entradas() const { return entradas_; }
    const QStringList& arquivosPedidos() const { return arquivos_; } // captions of the file dialogs
    const QList<QObject*>& janelasModais() const { return modais_; }
    // Texts of the message boxes shown, in order.
    QStringList textos() const;
    // Answers queued but not used yet.
    int pendentes() const;
    void limpa();

private:
    QList<int> respostas_;
    QList<std::optional<QString>> respostasEntrada_;
    QStringList respostasArquivo_;
    QList<RespostaModal> respostasModal_;
    QList<Caixa> caixas_;
    QList<Entrada> entradas_;
    QStringList arquivos_;
    QList<QObject*> modais_;
};
