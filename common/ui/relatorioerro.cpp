#include "common/ui/relatorioerro.h"

#include "common/dialogos.h"
#include "data/arquivos.h"

#include <QCoreApplication>
#include <QFileInfo>

QString tituloAplicacao()
{
    QString t = QCoreApplication::applicationName();
    if (t.isEmpty() && QCoreApplication::instance())
        t = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return t;
}

QString mensagemDoErro(const QString& mensagem)
{
    if (!mensagem.isEmpty() && mensagem.back() > QChar(u'.')) return mensagem + u'.';
    return mensagem;
}

namespace {

// Actions and gestures in progress, one inside the other, and the error boxes being shown: a
// gesture inside them (the OK of a box) starts nothing. Other events do not count: a timer or an
// accessibility request that runs an action is where that action starts.
int profundidade = 0;
bool ausenteNoInicio = false; // the operator's last start found the server still away

struct Aninhado
{
    Aninhado() { ++profundidade; }
    ~Aninhado() { --profundidade; }
};

} // namespace

void relataErro(const QString& mensagem)
{
    const Aninhado caixa;
    dialogos().mensagem(TipoCaixa::Erro, tituloAplicacao(), mensagemDoErro(mensagem), Botao::Ok);
}

void relataErro(const std::exception& e)
{
    if (dynamic_cast<const Abort*>(&e)) return;
    if (auto* f = dynamic_cast<const fb::Error*>(&e)) {
        // The server's words are English and technical; say first what happened.
        QString causa;
        if (f->isConnectionLost())
            causa = QStringLiteral("Sem conexão com o servidor do banco de dados.\n");
        else if (f->isLockConflict())
            causa = QStringLiteral("O registro está sendo alterado em outra estação; tente de novo ou cancele.\n");
        relataErro(causa + f->message());
    } else
        relataErro(QString::fromUtf8(e.what()));
}

AcaoEmCurso::AcaoEmCurso(Tipo tipo) : tipo_(tipo)
{
    externa_ = profundidade == 0;
    if (tipo == Tipo::Evento) return;
    ++profundidade;
    const bool perdida = Dados && Dados->conexaoPerdida();
    if (!externa_) {
        // Its start already said the server is away: one box for the whole action.
        if (tipo == Tipo::Acao && perdida && ausenteNoInicio) pode_ = false;
        return;
    }
    ausenteNoInicio = false;
    if (!perdida) return;
    // Only here, with nothing half done, may the datasets be read again under the screens.
    try {
        Dados->reconecta();
    } catch (const Abort&) {
        pode_ = false;
    } catch (const std::exception& e) {
        pode_ = false;
        ausenteNoInicio = Dados->conexaoPerdida();
        relataErro(e);
    }
}

AcaoEmCurso::~AcaoEmCurso()
{
    if (tipo_ != Tipo::Evento) --profundidade;
}

bool AcaoEmCurso::servidorAusente()
{
    return ausenteNoInicio && Dados && Dados->conexaoPerdida();
}

Aplicacao::Aplicacao(int& argc, char** argv) : QApplication(argc, argv) {}

namespace {

AcaoEmCurso::Tipo tipoDoEvento(const QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Shortcut:
    case QEvent::Wheel:
        return AcaoEmCurso::Tipo::Gesto;
    default:
        return AcaoEmCurso::Tipo::Evento;
    }
}

bool fimDeGesto(const QEvent* e)
{
    return e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::KeyRelease;
}

} // namespace

bool Aplicacao::notify(QObject* receiver, QEvent* event)
{
    try {
        const AcaoEmCurso acao(tipoDoEvento(event));
        // A press the report took away ends there: its release would still pick a menu entry.
        if (!acao.pode() || (acao.externa() && fimDeGesto(event) && AcaoEmCurso::servidorAusente())) {
            event->accept();
            return true;
        }
        return QApplication::notify(receiver, event);
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        relataErro(e);
    } catch (...) {
        relataErro(QStringLiteral("Erro inesperado"));
    }
    return false;
}
