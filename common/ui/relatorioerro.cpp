#include "common/ui/relatorioerro.h"

#include "common/dialogos.h"

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

void relataErro(const QString& mensagem)
{
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

Aplicacao::Aplicacao(int& argc, char** argv) : QApplication(argc, argv) {}

bool Aplicacao::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        relataErro(e);
    } catch (...) {
        relataErro(QStringLiteral("Erro inesperado"));
    }
    return false;
}
