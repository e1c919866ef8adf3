#include "users/Sobre.h"

#include "common/sessao.h"
#include "common/ui/cores.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"
#include "users/ativacao.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRegion>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

using namespace visual;

namespace {

constexpr int Largura = 548;
constexpr int Altura = 491;
const QColor fundo(0xC9, 0xEE, 0xF5);

const QString textoProduto = QStringLiteral("Nome do Produto");
const QString textoVersao = QStringLiteral("Versão");
const QString textoComentarios = QStringLiteral("Comentários: Sistema de Gestão");
const QString textoCopyright = QStringLiteral("Copyright");

QColor rgb(quint32 c)
{
    return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

QLabel* rotulo(QWidget* pai, const QString& texto, const char* nome, int aumento = 0, bool negrito = false)
{
    auto* l = new QLabel(texto, pai);
    l->setObjectName(QString::fromLatin1(nome));
    QFont f = l->font();
    if (aumento) f.setPointSize(f.pointSize() + aumento);
    f.setBold(negrito);
    l->setFont(f);
    return l;
}

void link(QLabel* l)
{
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    l->setCursor(Qt::PointingHandCursor);
    corTexto(l, QColor(0x00, 0x00, 0xFF));
}

QString valor(const QMap<QString, QString>& info, const QString& chave)
{
    for (auto i = info.cbegin(); i != info.cend(); ++i)
        if (i.key().compare(chave, Qt::CaseInsensitive) == 0) return i.value();
    return {};
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A respeito sobre o Sistema..."));
    corFundo(this, fundo);
    const Sessao& s = sessao();

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);
    v->setSizeConstraint(QLayout::SetNoConstraint); // "Fechar" folds the window below its layout's size

    PanelTitulo = faixa(QStringLiteral("Informações sobre o Sistema"), "PanelTitulo");
    PanelTitulo->setMinimumHeight(40);
    v->addWidget(PanelTitulo);

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(60, 4, 60, 4);
    corpo->setSpacing(2);
    ProductName = rotulo(this, textoProduto, "ProductName", 5, true);
    Version = rotulo(this, textoVersao, "Version", 1, true);
    Comments = rotulo(this, textoComentarios, "Comments");
    w_NomeEmpresa = rotulo(this, s.NomeEmpresa, "w_NomeEmpresa", 1, true);
    w_Telefone = rotulo(this, QStringLiteral("Telefone: ") + s.telefone, "w_Telefone", 0, true);
    corTexto(w_Telefone, rgb(s.corprincipal));
    w_Endereco = rotulo(this, s.endereco, "w_Endereco");
    w_Site = rotulo(this, s.sitecoorporativo, "w_Site");
    link(w_Site);
    email_ = s.emailcoorporativo;
    w_Email = rotulo(this, QStringLiteral("e-mail:") + email_, "w_Email");
    link(w_Email);
    w_Revendedor = rotulo(this, QStringLiteral("Revendedor Autorizado"), "w_Revendedor", 0, true);
    w_Empresa = rotulo(this, QString(), "w_Empresa");
    w_Empresa->setWordWrap(true);
    for (QLabel* l : {ProductName, Version, Comments}) {
        l->setWordWrap(true);
        corpo->addWidget(l);
    }
    corpo->addSpacing(6);
    for (QLabel* l : {w_NomeEmpresa, w_Telefone, w_Endereco, w_Site, w_Email})
        corpo->addWidget(l);
    corpo->addSpacing(6);
    corpo->addWidget(w_Revendedor);
    corpo->addWidget(w_Empresa);
    v->addLayout(corpo);

    // ---- tabs: legal notice and author
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::South);
    const QColor secundaria = rgb(s.corsecundaria);
    auto* aviso = new QWidget;
    corFundo(aviso, secundaria);
    auto* va = new QVBoxLayout(aviso);
    Copyright = rotulo(aviso, textoCopyright, "Copyright", 0, true);
    auto* memo = new QPlainTextEdit(aviso);
    memo->setObjectName(QStringLiteral("Memo"));
    memo->setReadOnly(true);
    memo->setPlainText(QStringLiteral(
        "Este programa é protegido pelas leis de direitos autorais e tratados internacionais. A reprodução ou "
        "distribuição não autorizada deste programa, ou de qualquer parte dele, sujeita o infrator às sanções "
        "civis e criminais previstas em lei. O uso é licenciado à empresa indicada acima."));
    QPalette pm = memo->palette();
    pm.setColor(QPalette::Base, secundaria);
    memo->setPalette(pm);
    Copyright->setBuddy(memo);
    va->addWidget(Copyright);
    va->addWidget(memo, 1);
    PageControl->addTab(aviso, QStringLiteral("Aviso Legal"));

    auto* autor = new QWidget;
    corFundo(autor, secundaria);
    auto* vu = new QVBoxLayout(autor);
    QLabel* cabecalho = rotulo(autor, QStringLiteral("Autor do Sistema"), "TituloAutor", 1, true);
    corFundo(cabecalho, cores().CorTitulo);
    corTexto(cabecalho, Qt::white);
    cabecalho->setAlignment(Qt::AlignCenter);
    vu->addWidget(cabecalho);
    vu->addWidget(rotulo(autor, QStringLiteral("Equipe de Desenvolvimento Comedal"), "w_Autor", 0, true));
    vu->addWidget(rotulo(autor, QStringLiteral("e-mail: desenvolvimento@comedal.com.br"), "w_AutorEmail"));
    vu->addWidget(rotulo(autor, QStringLiteral("Telefone: ") + s.telefone, "w_AutorTelefone"));
    vu->addWidget(rotulo(autor, QStringLiteral("Suporte Técnico: ") + s.telefoneSuporte, "w_Suporte"));
    vu->addStretch();
    PageControl->addTab(autor, QStringLiteral("Autor"));
    auto* abas = new QHBoxLayout;
    abas->setContentsMargins(20, 0, 20, 0);
    abas->addWidget(PageControl);
    v->addLayout(abas, 1);

    Fechar = faixa(QStringLiteral("Fechar"), "Fechar");
    Fechar->setMinimumHeight(34);
    Fechar->setCursor(Qt::PointingHandCursor);
    Fechar->setAccessibleName(QStringLiteral("Fechar"));
    v->addWidget(Fechar);

    for (QLabel* l : {w_Site, w_Email, Fechar})
        l->installEventFilter(this);

    PageControl->setCurrentIndex(0);
    mostraVersao(informacaoVersaoPrograma());

    // The company the installation belongs to.
    if (Dados) {
        Dataset* e = Dados->Empresas;
        if (!e->active()) e->open();
        if (!e->isEmpty())
            w_Empresa->setText(e->value(QStringLiteral("CNPJ")).toString() + QStringLiteral(" - ") +
                               e->value(QStringLiteral("RAZAOSOCIAL")).toString());
    }
    resize(Largura, Altura);
    new AtivacaoTela(this, [this] { FormActivate(); });
}

QLabel* TAboutBox::faixa(const QString& texto, const char* nome)
{
    QLabel* l = rotulo(this, texto, nome, 3, true);
    l->setAlignment(Qt::AlignCenter);
    corFundo(l, cores().CorTitulo);
    corTexto(l, Qt::white);
    return l;
}

TAboutBox::InformacaoVersao TAboutBox::informacaoVersaoPrograma()
{
    return QMap<QString, QString>{
        {QStringLiteral("Productname"), QStringLiteral("Comedal")},
        {QStringLiteral("Fileversion"), QStringLiteral(COMEDAL_VERSION)},
        {QStringLiteral("Legalcopyright"), QStringLiteral("© Comedal Sistemas. Todos os direitos reservados.")},
        {QStringLiteral("Comments"), QStringLiteral("Sistema de Alimentação Popular")},
    };
}

void TAboutBox::mostraVersao(const InformacaoVersao& info)
{
    ProductName->setText(textoProduto);
    Version->setText(textoVersao);
    Copyright->setText(textoCopyright);
    Comments->setText(textoComentarios);
    if (!info) return;
    const QString produto = valor(*info, QStringLiteral("Productname"));
    const QString versao = valor(*info, QStringLiteral("Fileversion"));
    const QString copyright = valor(*info, QStringLiteral("Legalcopyright"));
    const QString comentarios = valor(*info, QStringLiteral("Comments"));
    if (!produto.isEmpty()) ProductName->setText(produto);
    if (!versao.isEmpty()) Version->setText(QStringLiteral("Versão: ") + versao);
    if (!copyright.isEmpty()) Copyright->setText(copyright);
    if (!comentarios.isEmpty()) Comments->setText(QStringLiteral("Comentários: ") + comentarios);
}

void TAboutBox::FormActivate()
{
    resize(Largura, Altura);
}

void TAboutBox::showEvent(QShowEvent* e)
{
    FormActivate();
    QDialog::showEvent(e);
}

void TAboutBox::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    // Rounded outline: corners of a 120 by 120 ellipse.
    QPainterPath contorno;
    contorno.addRoundedRect(QRectF(rect()), 60, 60);
    setMask(QRegion(contorno.toFillPolygon().toPolygon()));
}

void TAboutBox::FecharClick()
{
    for (int altura = height() - 10; altura > 0; altura -= 10) {
        resize(width(), altura);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(1);
    }
    accept();
}

void TAboutBox::SiteClick()
{
    QString site = w_Site->text().trimmed();
    if (!site.contains(QStringLiteral("://"))) site.prepend(QStringLiteral("http://"));
    abreEndereco(site);
}

void TAboutBox::EmailClick()
{
    abreEndereco(QStringLiteral("mailto:") + email_);
}

bool TAboutBox::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        if (objeto == w_Site) SiteClick();
        if (objeto == w_Email) EmailClick();
        if (objeto == Fechar) FecharClick();
    }
    return QDialog::eventFilter(objeto, evento);
}
