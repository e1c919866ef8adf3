#include "common/ui/dialogosqt.h"

#include "common/ui/traducao.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

namespace {

QWidget* janelaAtiva()
{
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

QMessageBox::Icon icone(TipoCaixa tipo)
{
    switch (tipo) {
    case TipoCaixa::Informacao:
        return QMessageBox::Information;
    case TipoCaixa::Aviso:
        return QMessageBox::Warning;
    case TipoCaixa::Erro:
        return QMessageBox::Critical;
    case TipoCaixa::Confirmacao:
        return QMessageBox::Question;
    case TipoCaixa::Simples:
        break;
    }
    return QMessageBox::NoIcon;
}

// The kind of each entry of a file dialog in Portuguese: the toolkit names a folder "Folder" and a
// file by its type's description in the desktop's language ("PDF document").
class TiposEmPortugues : public QFileIconProvider
{
public:
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir()) return QStringLiteral("Pasta");
        const QString sufixo = info.suffix();
        return sufixo.isEmpty() ? QStringLiteral("Arquivo") : QStringLiteral("Arquivo ") + sufixo.toUpper();
    }
};

// Once a file dialog is shown (its columns restored as the toolkit keeps them), the places on the
// left and every column of the detailed list are made wide enough for their Portuguese names
// ("Computador", "Data de modificação").
void ajustaLarguras(QWidget* dialogo)
{
    auto* lugares = dialogo->findChild<QListView*>(QStringLiteral("sidebar"));
    auto* divisor = dialogo->findChild<QSplitter*>(QStringLiteral("splitter"));
    if (lugares && lugares->model() && divisor && divisor->count() == 2) {
        int largura = 0;
        for (int r = 0; r < lugares->model()->rowCount(); ++r)
            largura = qMax(largura, lugares->sizeHintForIndex(lugares->model()->index(r, 0)).width());
        const int precisa = largura + 2 * lugares->frameWidth() + 12;
        QList<int> tamanhos = divisor->sizes();
        if (tamanhos[0] < precisa) {
            tamanhos[1] -= precisa - tamanhos[0];
            tamanhos[0] = precisa;
            divisor->setSizes(tamanhos);
        }
    }
    auto* lista = dialogo->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!lista || !lista->model()) return;
    QHeaderView* cabecalho = lista->header();
    const int folga = 2 * cabecalho->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecalho) +
                      cabecalho->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, cabecalho) + 8;
    for (int c = 0; c < lista->model()->columnCount(); ++c) {
        const QString t = lista->model()->headerData(c, Qt::Horizontal).toString();
        const int precisa = cabecalho->fontMetrics().horizontalAdvance(t) + folga;
        if (!cabecalho->isSectionHidden(c) && cabecalho->sectionSize(c) < precisa) cabecalho->resizeSection(c, precisa);
    }
}

const char* const Preparado = "comedalDialogoPreparado";

// Captions, buttons, kinds of entry and size of a file dialog, once.
void poeTextos(QFileDialog& d)
{
    if (d.property(Preparado).toBool()) return;
    d.setProperty(Preparado, true);
    d.setLabelText(QFileDialog::LookIn, QStringLiteral("Procurar em:"));
    d.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    d.setLabelText(QFileDialog::FileType, QStringLiteral("Arquivos do tipo:"));
    d.setLabelText(QFileDialog::Accept,
                   d.acceptMode() == QFileDialog::AcceptSave ? QStringLiteral("&Salvar") : QStringLiteral("&Abrir"));
    d.setLabelText(QFileDialog::Reject, QStringLiteral("&Cancelar"));
    static TiposEmPortugues tipos;
    d.setIconProvider(&tipos);
    // Room for the Portuguese captions and the columns of the detailed list.
    const QSize dica = d.sizeHint();
    d.resize(qMax(d.width(), qMax(dica.width(), 820)), qMax(d.height(), qMax(dica.height(), 520)));
}

// Every file dialog shown, also one the toolkit opens by itself (the print dialog's "...").
class VigiaDialogosArquivo : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* e) override
    {
        if (e->type() == QEvent::Show && objeto->isWidgetType())
            if (auto* d = qobject_cast<QFileDialog*>(objeto)) {
                poeTextos(*d);
                QTimer::singleShot(0, d, [d] { ajustaLarguras(d); });
            }
        return false;
    }
};

// Waits until a window that is not a dialog is closed or hidden.
class EsperaFechar : public QObject
{
public:
    explicit EsperaFechar(QEventLoop& laco) : laco_(laco) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Close) laco_.quit();
        return false;
    }

private:
    QEventLoop& laco_;
};

} // namespace

int DialogosQt::mensagem(TipoCaixa tipo, const QString& titulo, const QString& texto, int botoes)
{
    QMessageBox caixa(icone(tipo), titulo.isEmpty() ? tituloPadrao(tipo) : titulo, texto, QMessageBox::NoButton,
                      janelaAtiva());
    caixa.setTextFormat(Qt::PlainText);
    if (!(botoes & (Botao::Ok | Botao::Sim | Botao::Nao | Botao::Cancelar))) botoes = Botao::Ok;
    struct Opcao
    {
        int botao;
        QMessageBox::StandardButton padrao;
        const char* texto;
    };
    const Opcao opcoes[] = {{Botao::Sim, QMessageBox::Yes, "&Yes"},
                            {Botao::Nao, QMessageBox::No, "&No"},
                            {Botao::Ok, QMessageBox::Ok, "OK"},
                            {Botao::Cancelar, QMessageBox::Cancel, "Cancel"}};
    QList<QPair<QAbstractButton*, int>> criados;
    for (const Opcao& o : opcoes) {
        if (!(botoes & o.botao)) continue;
        QPushButton* b = caixa.addButton(o.padrao);
        b->setText(traduzTexto(QString::fromLatin1(o.texto)));
        criados << qMakePair(static_cast<QAbstractButton*>(b), o.botao);
        if (!caixa.defaultButton()) caixa.setDefaultButton(b);
    }
    const int fechada = respostaPadrao(botoes);
    for (const auto& [b, valor] : criados)
        if (valor == fechada) caixa.setEscapeButton(b);
    caixa.exec();
    for (const auto& [b, valor] : criados)
        if (caixa.clickedButton() == b) return valor;
    return fechada;
}

bool DialogosQt::entrada(const QString& titulo, const QString& rotulo, QString& valor)
{
    QInputDialog d(janelaAtiva());
    d.setWindowTitle(titulo);
    d.setLabelText(rotulo);
    d.setTextValue(valor);
    d.setOkButtonText(traduzTexto(QStringLiteral("OK")));
    d.setCancelButtonText(traduzTexto(QStringLiteral("Cancel")));
    if (d.exec() != QDialog::Accepted) return false;
    valor = d.textValue();
    return true;
}

QString DialogosQt::abrirArquivo(const QString& titulo, const QString& filtro)
{
    QFileDialog d(janelaAtiva(), titulo, QString(), filtroQt(filtro));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    preparaDialogoArquivo(d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

void DialogosQt::preparaDialogoArquivo(QFileDialog& d)
{
    // The desktop's own dialog speaks the desktop's language; the toolkit's speaks the program's.
    d.setOption(QFileDialog::DontUseNativeDialog);
    poeTextos(d);
    vigiaDialogosArquivo();
}

void DialogosQt::vigiaDialogosArquivo()
{
    static QPointer<QObject> vigia;
    if (vigia || !QCoreApplication::instance()) return;
    vigia = new VigiaDialogosArquivo(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(vigia);
}

int DialogosQt::mostrarModal(QObject* janela)
{
    if (auto* f = qobject_cast<QFileDialog*>(janela)) preparaDialogoArquivo(*f);
    if (auto* d = qobject_cast<QDialog*>(janela)) return d->exec();
    auto* w = qobject_cast<QWidget*>(janela);
    if (!w) return 0;
    QPointer<QWidget> guarda(w);
    const Qt::WindowModality antes = w->windowModality();
    w->setWindowModality(Qt::ApplicationModal);
    QEventLoop laco;
    EsperaFechar espera(laco);
    w->installEventFilter(&espera);
    w->show();
    laco.exec();
    if (guarda) {
        w->removeEventFilter(&espera);
        w->setWindowModality(antes);
    }
    return 0;
}

QString DialogosQt::filtroQt(const QString& filtro)
{
    if (!filtro.contains(u'|')) return filtro;
    const QStringList partes = filtro.split(u'|');
    QStringList saida;
    for (int i = 0; i + 1 < partes.size(); i += 2) {
        QString descricao = partes[i].trimmed();
        const int abre = int(descricao.indexOf(u'('));
        if (abre >= 0) descricao = descricao.left(abre).trimmed();
        QStringList padroes;
        for (const QString& p : partes[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (t.isEmpty()) continue;
            padroes << t;
            if (t.toLower() != t) padroes << t.toLower();
        }
        saida << QStringLiteral("%1 (%2)").arg(descricao, padroes.join(u' '));
    }
    return saida.join(QStringLiteral(";;"));
}
