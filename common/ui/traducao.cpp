#include "common/ui/traducao.h"

#include "common/ui/dialogosqt.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

QHash<QString, QString>& tabela()
{
    static QHash<QString, QString> t;
    return t;
}

// Qt names some buttons without the accelerator ("Abort", "Close"); those read as the table's
// "&Abort", "&Close".
QString procura(const QString& texto)
{
    const QHash<QString, QString>& t = tabela();
    if (auto it = t.constFind(texto); it != t.constEnd()) return *it;
    for (auto it = t.constBegin(); it != t.constEnd(); ++it)
        if (QString(it.key()).remove(u'&') == texto) return *it;
    return {};
}

// Answers Qt's own requests for texts (QPlatformTheme's standard buttons, QMessageBox captions)
// from the table, ahead of the pt_BR catalogue.
class TradutorTabela : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char*, const char* sourceText, const char* = nullptr, int = -1) const override
    {
        return sourceText ? procura(QString::fromUtf8(sourceText)) : QString();
    }
    bool isEmpty() const override { return tabela().isEmpty(); }
};

} // namespace

void TraduzMsg(const QString& AResString, const QString& ANewValue)
{
    tabela().insert(AResString, ANewValue);
}

QString traduzTexto(const QString& textoOriginal)
{
    const QString r = procura(textoOriginal);
    return r.isEmpty() ? textoOriginal : r;
}

void TraduzMensagemSistema()
{
    TraduzMsg(QStringLiteral("Information"), QStringLiteral("Informação"));
    TraduzMsg(QStringLiteral("Warning"), QStringLiteral("Atenção"));
    TraduzMsg(QStringLiteral("Error"), QStringLiteral("Erro"));
    TraduzMsg(QStringLiteral("&Yes"), QStringLiteral("&Sim"));
    TraduzMsg(QStringLiteral("&No"), QStringLiteral("&Não"));
    TraduzMsg(QStringLiteral("OK"), QStringLiteral("&Ok"));
    TraduzMsg(QStringLiteral("Cancel"), QStringLiteral("&Cancelar"));
    TraduzMsg(QStringLiteral("Confirm"), QStringLiteral("Confirme"));
    TraduzMsg(QStringLiteral("&Help"), QStringLiteral("&Ajuda"));
    TraduzMsg(QStringLiteral("Help"), QStringLiteral("&Ajuda"));
    TraduzMsg(QStringLiteral("&Abort"), QStringLiteral("&Abortar"));
    TraduzMsg(QStringLiteral("&Retry"), QStringLiteral("&Repetir"));
    TraduzMsg(QStringLiteral("&Ignore"), QStringLiteral("&Ignorar"));
    TraduzMsg(QStringLiteral("&All"), QStringLiteral("&Tudo"));
    TraduzMsg(QStringLiteral("N&o to All"), QStringLiteral("N&ão para Tudo"));
    TraduzMsg(QStringLiteral("Yes to &All"), QStringLiteral("Sim para &Tudo"));
    TraduzMsg(QStringLiteral("&Close"), QStringLiteral("&Fechar"));
    TraduzMsg(QStringLiteral("Field '%s' must have a value"), QStringLiteral("Campo '%s' deve possuir um valor"));
    TraduzMsg(QStringLiteral("Record not found"), QStringLiteral("Registro não encontrado"));

    static bool instalado = false;
    if (instalado || !QCoreApplication::instance()) return;
    instalado = true;
    QCoreApplication* app = QCoreApplication::instance();
    auto* qt = new QTranslator(app);
    if (qt->load(QStringLiteral("qtbase_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt; // without the catalogue Qt's own dialogs stay in English; the table still applies
    // Installed last, so it is asked first.
    QCoreApplication::installTranslator(new TradutorTabela(app));
    DialogosQt::vigiaDialogosArquivo();
}
