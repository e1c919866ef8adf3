#include "clients/Pacientes.h"

#include "clients/regrascliente.h"
#include "clients/xConsultaListaPac.h"
#include "common/global.h"
#include "common/mascara.h"
#include "common/ui/cores.h"
#include "common/ui/dbcheckbox.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbmemo.h"
#include "common/ui/direitostela.h"
#include "common/ui/ligacaocampo.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace {

// Address of the last new client saved, for the copy button of the next one. Forgotten whenever the
// screen becomes the active screen again, and when it is destroyed.
QString a_Endereco, a_Bairro, a_Cep, a_Cidade, a_Telefone, a_Celular;

void esqueceEndereco()
{
    a_Endereco.clear();
    a_Bairro.clear();
    a_Cep.clear();
    a_Cidade.clear();
    a_Telefone.clear();
    a_Celular.clear();
}

// Marks of the boxes for the focus colours: 1 to be filled, 10 left alone (the code).
constexpr int MarcaPreencher = 1;
constexpr int MarcaIgnorada = 10;

using visual::comBotao;
using visual::corFundo;
using visual::corTexto;
using visual::naGrade;
using visual::rotuloEstado;

// Small drawn pictures for the search and copy buttons (the record buttons have bitmap files).
QIcon iconeLupa()
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(cor::azulMarinho, 2));
    p.drawEllipse(QRectF(3, 3, 10, 10));
    p.setPen(QPen(cor::azulMarinho, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(17, 17));
    return QIcon(pm);
}

QIcon iconeCopia()
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(cor::azulMarinho, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRect(3, 2, 10, 12));
    p.drawRect(QRect(7, 6, 10, 12));
    p.drawLine(9, 10, 15, 10);
    p.drawLine(9, 13, 15, 13);
    p.drawLine(9, 16, 13, 16);
    return QIcon(pm);
}

// A text typed into "Ir Para" that the column cannot hold names nobody: said at once, without a
// statement (whose parameter could not hold it either).
bool maisLongoQueAColuna(Dataset& cliente, const QString& coluna, const QString& texto)
{
    const int tamanho = cliente.field(coluna).size();
    if (tamanho <= 0 || texto.size() <= tamanho) return false;
    avisa(TelaCadastro::textoNaoEncontrado());
    return true;
}

QToolButton* botaoFigura(QWidget* pai, const char* nome, const QString& dica, const QIcon& icone = QIcon())
{
    auto* b = new QToolButton(pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setFocusPolicy(Qt::NoFocus); // a picture button leaves the focus (and the typed text) where it is
    if (!icone.isNull()) b->setIcon(icone);
    b->setIconSize(QSize(20, 20));
    b->setAutoRaise(false);
    defineDica(b, dica);
    return b;
}

// A group: a sky-blue title strip with the title in navy over a white area.
QFrame* grupo(QWidget* pai, const char* nome, const QString& titulo, QLabel*& rotuloTitulo, QGridLayout*& corpo)
{
    auto* g = new QFrame(pai);
    g->setObjectName(QString::fromLatin1(nome));
    g->setFrameShape(QFrame::StyledPanel);
    corFundo(g, Qt::white);
    auto* v = new QVBoxLayout(g);
    v->setContentsMargins(1, 1, 1, 1);
    v->setSpacing(2);
    rotuloTitulo = new QLabel(titulo, g);
    rotuloTitulo->setObjectName(QStringLiteral("Titulo") + QString::fromLatin1(nome));
    rotuloTitulo->setContentsMargins(6, 2, 6, 2);
    QFont f = rotuloTitulo->font();
    f.setBold(true);
    rotuloTitulo->setFont(f);
    corFundo(rotuloTitulo, cor::azulCeu);
    corTexto(rotuloTitulo, cor::azulMarinho);
    v->addWidget(rotuloTitulo);
    corpo = new QGridLayout;
    corpo->setContentsMargins(6, 2, 6, 6);
    corpo->setHorizontalSpacing(6);
    corpo->setVerticalSpacing(4);
    v->addLayout(corpo);
    return g;
}

// The caption is named after its box: "Label_w_Nome".
QLabel* legenda(QWidget* pai, const QString& texto, QWidget* caixa)
{
    QLabel* l = visual::legenda(pai, texto, caixa);
    l->setObjectName(QStringLiteral("Label_") + caixa->objectName());
    return l;
}

} // namespace

TCad_Cliente::TCad_Cliente(QWidget* parent) : QWidget(parent), Cliente(Dados->Cliente)
{
    setObjectName(QStringLiteral("Cad_Cliente"));
    setWindowTitle(QStringLiteral("Cadastro de Pessoas"));
    setAttribute(Qt::WA_DeleteOnClose);
    instalaRegrasCliente(*Dados);
    montaTela();
    ligaCampos();
    configuraTela();
    protegido([&] { abreCliente(); });
    DataSourceDataChange();
    DataSourceStateChange();
}

TCad_Cliente::~TCad_Cliente()
{
    esqueceEndereco();
    // A change left open is not carried into the next screen.
    if (Cliente && Cliente->isEditing()) protegido([&] { Cliente->cancel(); });
}

// ---------------------------------------------------------------- building the screen

void TCad_Cliente::montaTela()
{
    principal_ = new QVBoxLayout(this);
    principal_->setContentsMargins(0, 0, 0, 0);
    principal_->setSpacing(0);

    // ---- top strip
    PanelTopo = new QFrame(this);
    PanelTopo->setObjectName(QStringLiteral("PanelTopo"));
    corFundo(PanelTopo, cor::faixaTopo);
    w_ID = new DBEdit(PanelTopo);
    w_ID->setObjectName(QStringLiteral("w_ID"));
    w_ID->setFixedWidth(90);
    BotaoCodigo = botaoFigura(PanelTopo, "BotaoCodigo", QStringLiteral("Busca pelo Codigo - F6"), iconeLupa());
    w_Paciente = new DBCheckBox(PanelTopo);
    w_Paciente->setObjectName(QStringLiteral("w_Paciente"));
    auto* topo = new QHBoxLayout(PanelTopo);
    topo->setContentsMargins(8, 5, 8, 5);
    QLabel* lCodigo = legenda(PanelTopo, QStringLiteral("Codigo"), w_ID);
    corTexto(lCodigo, Qt::white);
    topo->addWidget(lCodigo);
    topo->addWidget(w_ID);
    topo->addWidget(BotaoCodigo);
    topo->addStretch();
    QLabel* lAtivo = legenda(PanelTopo, QStringLiteral("Ativo ?"), w_Paciente);
    corTexto(lAtivo, Qt::white);
    topo->addWidget(lAtivo);
    topo->addWidget(w_Paciente);
    principal_->addWidget(PanelTopo);

    // ---- the one tab
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::South);
    auto* TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl->addTab(TabSheet1, QStringLiteral("Dados - F7"));
    principal_->addWidget(PageControl, 1);
    auto* pagina = new QGridLayout(TabSheet1);
    pagina->setContentsMargins(6, 6, 6, 6);
    pagina->setSpacing(6);

    QGridLayout* g = nullptr;
    QLabel* titulo = nullptr;

    // Dados Gerais
    GrupoDadosGerais = grupo(TabSheet1, "GrupoDadosGerais", QStringLiteral("Dados Gerais"), TituloDadosGerais, g);
    w_Nome = new DBEdit;
    w_Nome->setObjectName(QStringLiteral("w_Nome"));
    BotaoNome = botaoFigura(GrupoDadosGerais, "BotaoNome", QStringLiteral("Busca pelo Nome - F3"), iconeLupa());
    w_Apelido = new DBEdit(GrupoDadosGerais);
    w_Apelido->setObjectName(QStringLiteral("w_Apelido"));
    w_NASC = new DBEdit(GrupoDadosGerais);
    w_NASC->setObjectName(QStringLiteral("w_NASC"));
    w_Sexo = new DBComboBox(GrupoDadosGerais);
    w_Sexo->setObjectName(QStringLiteral("w_Sexo"));
    w_Sexo->setToolTip(QStringLiteral("Sexo no Nascimento"));
    w_CPF = new DBEdit;
    w_CPF->setObjectName(QStringLiteral("w_CPF"));
    SpeedButton6 =
        botaoFigura(GrupoDadosGerais, "SpeedButton6", QStringLiteral("Busca pelo nº do C.P.F."), iconeLupa());
    LabelNome = legenda(GrupoDadosGerais, QStringLiteral("Nome"), w_Nome);
    LabelApelido = legenda(GrupoDadosGerais, QStringLiteral("Nome Social"), w_Apelido);
    g->addWidget(LabelNome, 0, 0);
    g->addWidget(comBotao(GrupoDadosGerais, w_Nome, BotaoNome), 0, 1, 1, 5);
    g->addWidget(LabelApelido, 1, 0);
    g->addWidget(w_Apelido, 1, 1, 1, 5);
    naGrade(g, legenda(GrupoDadosGerais, QStringLiteral("Nasc."), w_NASC), w_NASC, 2, 0);
    naGrade(g, legenda(GrupoDadosGerais, QStringLiteral("Sexo"), w_Sexo), w_Sexo, 2, 2);
    g->addWidget(legenda(GrupoDadosGerais, QStringLiteral("C.P.F."), w_CPF), 2, 4);
    g->addWidget(comBotao(GrupoDadosGerais, w_CPF, SpeedButton6), 2, 5);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(5, 3);
    w_NASC->setMinimumWidth(95);
    w_Sexo->setMinimumWidth(50);
    pagina->addWidget(GrupoDadosGerais, 0, 0);

    // Documentação
    QFrame* documentacao = grupo(TabSheet1, "GrupoDocumentacao", QStringLiteral("Documentação"), titulo, g);
    w_IDENTIDADE = new DBEdit;
    w_IDENTIDADE->setObjectName(QStringLiteral("w_IDENTIDADE"));
    SpeedButton5 =
        botaoFigura(documentacao, "SpeedButton5", QStringLiteral("Busca pelo nº do Doc. Identidade"), iconeLupa());
    w_RGOrgao = new DBEdit(documentacao);
    w_RGOrgao->setObjectName(QStringLiteral("w_RGOrgao"));
    DBLookupComboBox1 = new DBLookupComboBox(documentacao);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBEdit47 = new DBEdit(documentacao);
    DBEdit47->setObjectName(QStringLiteral("DBEdit47"));
    w_Cor = new DBComboBox(documentacao);
    w_Cor->setObjectName(QStringLiteral("w_Cor"));
    w_Cor->setToolTip(QStringLiteral("Preenchimento não Obrigatório"));
    w_NATURALIDADE = new DBEdit(documentacao);
    w_NATURALIDADE->setObjectName(QStringLiteral("w_NATURALIDADE"));
    w_PAI = new DBEdit(documentacao);
    w_PAI->setObjectName(QStringLiteral("w_PAI"));
    w_MAE = new DBEdit(documentacao);
    w_MAE->setObjectName(QStringLiteral("w_MAE"));
    w_EstadoCivil = new DBComboBox(documentacao);
    w_EstadoCivil->setObjectName(QStringLiteral("w_EstadoCivil"));
    w_Escolaridade = new DBComboBox(documentacao);
    w_Escolaridade->setObjectName(QStringLiteral("w_Escolaridade"));
    g->addWidget(legenda(documentacao, QStringLiteral("Doc Identidade"), w_IDENTIDADE), 0, 0);
    g->addWidget(comBotao(documentacao, w_IDENTIDADE, SpeedButton5), 0, 1);
    g->addWidget(legenda(documentacao, QStringLiteral("Orgão Emissor"), w_RGOrgao), 0, 2);
    auto* orgao = new QHBoxLayout;
    orgao->setSpacing(4);
    orgao->addWidget(w_RGOrgao, 1);
    orgao->addWidget(legenda(documentacao, QStringLiteral("UF"), DBLookupComboBox1));
    orgao->addWidget(DBLookupComboBox1, 2);
    g->addLayout(orgao, 0, 3);
    naGrade(g, legenda(documentacao, QStringLiteral("Dt. Exp."), DBEdit47), DBEdit47, 1, 0);
    naGrade(g, legenda(documentacao, QStringLiteral("Raça/Cor"), w_Cor), w_Cor, 1, 2);
    naGrade(g, legenda(documentacao, QStringLiteral("Naturalidade"), w_NATURALIDADE), w_NATURALIDADE, 2, 0, 3);
    naGrade(g, legenda(documentacao, QStringLiteral("Nome do Pai"), w_PAI), w_PAI, 3, 0, 3);
    naGrade(g, legenda(documentacao, QStringLiteral("Mãe"), w_MAE), w_MAE, 4, 0, 3);
    naGrade(g, legenda(documentacao, QStringLiteral("Estado Civil"), w_EstadoCivil), w_EstadoCivil, 5, 0);
    naGrade(g, legenda(documentacao, QStringLiteral("Escolaridade"), w_Escolaridade), w_Escolaridade, 5, 2);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    pagina->addWidget(documentacao, 1, 0);

    // Foto
    QFrame* grupoFoto = grupo(TabSheet1, "GrupoFoto", QStringLiteral("Foto"), titulo, g);
    Foto = new QLabel(grupoFoto);
    Foto->setObjectName(QStringLiteral("Foto"));
    Foto->setScaledContents(true);
    Foto->setFrameShape(QFrame::Box);
    Foto->setMinimumSize(150, 180);
    Foto->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Button5 = new QPushButton(QStringLiteral("Fotografar"), grupoFoto);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setFocusPolicy(Qt::NoFocus);
    g->addWidget(Foto, 0, 0);
    g->addWidget(Button5, 1, 0);
    pagina->addWidget(grupoFoto, 0, 1, 2, 1);

    // Endereçamento para Correspondência
    QFrame* endereco =
        grupo(TabSheet1, "GrupoEndereco", QStringLiteral("Endereçamento para Correspondência"), titulo, g);
    w_CEP = new DBEdit(endereco);
    w_CEP->setObjectName(QStringLiteral("w_CEP"));
    DBLookupComboBox2 = new DBLookupComboBox(endereco);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    w_Cidade = new DBComboBox(endereco);
    w_Cidade->setObjectName(QStringLiteral("w_Cidade"));
    w_Bairro = new DBComboBox(endereco);
    w_Bairro->setObjectName(QStringLiteral("w_Bairro"));
    w_ENDERECO = new DBEdit;
    w_ENDERECO->setObjectName(QStringLiteral("w_ENDERECO"));
    w_Copia = botaoFigura(endereco, "w_Copia", QStringLiteral("Cópia o Endereço Anterior"), iconeCopia());
    w_Numero = new DBEdit(endereco);
    w_Numero->setObjectName(QStringLiteral("w_Numero"));
    w_Complemento = new DBEdit(endereco);
    w_Complemento->setObjectName(QStringLiteral("w_Complemento"));
    w_CELULAR = new DBEdit(endereco);
    w_CELULAR->setObjectName(QStringLiteral("w_CELULAR"));
    w_CELULAR->setToolTip(QStringLiteral("nº do Celular"));
    w_TELEFONE = new DBEdit(endereco);
    w_TELEFONE->setObjectName(QStringLiteral("w_TELEFONE"));
    w_TELEFONE->setToolTip(QStringLiteral("nº do Telefone Residêncial"));
    w_mail = new DBEdit(endereco);
    w_mail->setObjectName(QStringLiteral("w_mail"));
    g->addWidget(legenda(endereco, QStringLiteral("C.E.P."), w_CEP), 0, 0);
    auto* cep = new QHBoxLayout;
    cep->setSpacing(4);
    cep->addWidget(w_CEP, 1);
    cep->addWidget(legenda(endereco, QStringLiteral("UF"), DBLookupComboBox2));
    cep->addWidget(DBLookupComboBox2, 1);
    g->addLayout(cep, 0, 1);
    naGrade(g, legenda(endereco, QStringLiteral("Cidade"), w_Cidade), w_Cidade, 0, 2);
    naGrade(g, legenda(endereco, QStringLiteral("Bairro"), w_Bairro), w_Bairro, 0, 4);
    g->addWidget(legenda(endereco, QStringLiteral("Endereço"), w_ENDERECO), 1, 0);
    g->addWidget(comBotao(endereco, w_ENDERECO, w_Copia), 1, 1, 1, 3);
    auto* numero = new QHBoxLayout;
    numero->setSpacing(4);
    numero->addWidget(legenda(endereco, QStringLiteral("Número"), w_Numero));
    numero->addWidget(w_Numero, 1);
    numero->addWidget(legenda(endereco, QStringLiteral("Complemento"), w_Complemento));
    numero->addWidget(w_Complemento, 2);
    g->addLayout(numero, 1, 4, 1, 2);
    naGrade(g, legenda(endereco, QStringLiteral("Celular"), w_CELULAR), w_CELULAR, 2, 0);
    naGrade(g, legenda(endereco, QStringLiteral("Telefone"), w_TELEFONE), w_TELEFONE, 2, 2);
    naGrade(g, legenda(endereco, QStringLiteral("E-mail"), w_mail), w_mail, 2, 4);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(3, 2);
    g->setColumnStretch(5, 3);
    pagina->addWidget(endereco, 2, 0, 1, 2);

    // Observações
    QFrame* observacoes = grupo(TabSheet1, "GrupoObservacoes", QStringLiteral("Observações"), titulo, g);
    DBMemo1 = new DBMemo(observacoes);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setMinimumHeight(50);
    g->addWidget(DBMemo1, 0, 0);
    titulo->setBuddy(DBMemo1);
    pagina->addWidget(observacoes, 3, 0, 1, 2);
    pagina->setRowStretch(3, 1);
    pagina->setColumnStretch(0, 1);

    // ---- button bar
    Barra = new QFrame(this);
    Barra->setObjectName(QStringLiteral("Barra"));
    Barra->setFrameShape(QFrame::StyledPanel);
    auto* barra = new QHBoxLayout(Barra);
    barra->setContentsMargins(8, 4, 8, 4);
    Estado = rotuloEstado(Barra);
    barra->addWidget(Estado);
    Button1 = botaoFigura(Barra, "Button1", QStringLiteral("Primeiro Registro-Ctrl+Down"));
    Button2 = botaoFigura(Barra, "Button2", QStringLiteral("Registro Anterior-Ctrl+Left"));
    Button3 = botaoFigura(Barra, "Button3", QStringLiteral("Proximo Registro-Ctrl+Right"));
    Button4 = botaoFigura(Barra, "Button4", QStringLiteral("Ultimo Registro-Ctrl+Up"));
    int tag = 1;
    for (QToolButton* b : {Button1, Button2, Button3, Button4}) {
        TelaCadastro::defineMarca(b, tag++);
        barra->addWidget(b);
    }
    barra->addSpacing(16);
    auto conjunto = [&](const QString& nome, const QList<QToolButton*>& botoes) {
        auto* v = new QVBoxLayout;
        v->setSpacing(1);
        auto* l = new QLabel(nome, Barra);
        l->setAlignment(Qt::AlignHCenter);
        v->addWidget(l);
        auto* h = new QHBoxLayout;
        for (QToolButton* b : botoes)
            h->addWidget(b);
        v->addLayout(h);
        barra->addLayout(v);
        barra->addSpacing(16);
    };
    Incluir = botaoFigura(Barra, "Incluir", QStringLiteral("Incluir"));
    Alterar = botaoFigura(Barra, "Alterar", QStringLiteral("Alterar"));
    Excluir = botaoFigura(Barra, "Excluir", QStringLiteral("Excluir"));
    Confirmar = botaoFigura(Barra, "Confirmar", QStringLiteral("Gravar"));
    NaoConfirmar = botaoFigura(Barra, "NaoConfirmar", QStringLiteral("Cancelar"));
    conjunto(QStringLiteral("Ação"), {Incluir, Alterar, Excluir});
    conjunto(QStringLiteral("Confirmação"), {Confirmar, NaoConfirmar});
    barra->addStretch();
    Fechar = new QPushButton(QStringLiteral("Fechar"), Barra);
    Fechar->setObjectName(QStringLiteral("Fechar"));
    Fechar->setFocusPolicy(Qt::NoFocus);
    defineDica(Fechar, QStringLiteral("Fechar o Cadastro de Pessoas"));
    barra->addWidget(Fechar);
    principal_->addWidget(Barra);

    auto* menu = new QMenu(Barra);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(QStringLiteral("Topo"), this, [this] { Topo(); })->setObjectName(QStringLiteral("Topo"));
    menu->addAction(QStringLiteral("Abaixo"), this, [this] { Abaixo(); })->setObjectName(QStringLiteral("Abaixo"));
    Barra->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Barra, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& p) { menu->popup(Barra->mapToGlobal(p)); });

    // Tab order inside the groups, group after group.
    const QList<QWidget*> ordem = {w_Nome,        w_Apelido, w_NASC,        w_Sexo,         w_CPF,
                                   w_IDENTIDADE,  w_RGOrgao, DBEdit47,      w_Cor,          w_NATURALIDADE,
                                   w_PAI,         w_MAE,     w_EstadoCivil, w_Escolaridade, DBLookupComboBox1,
                                   w_CEP,         w_Cidade,  w_Bairro,      w_ENDERECO,     w_Numero,
                                   w_Complemento, w_CELULAR, w_TELEFONE,    w_mail,         DBLookupComboBox2,
                                   DBMemo1};
    for (int i = 1; i < ordem.size(); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);
    // The code and the active flag are reached with the mouse only.
    w_ID->setFocusPolicy(Qt::ClickFocus);
    w_Paciente->setFocusPolicy(Qt::ClickFocus);
}

void TCad_Cliente::ligaCampos()
{
    struct Edicao
    {
        DBEdit* caixa;
        const char* campo;
        DBEdit::Caixa caso;
    };
    const Edicao edicoes[] = {{w_ID, "ID", DBEdit::Caixa::Normal},
                              {w_Nome, "NOME", DBEdit::Caixa::Alta},
                              {w_Apelido, "APELIDO", DBEdit::Caixa::Normal},
                              {w_NASC, "NASC", DBEdit::Caixa::Normal},
                              {w_CPF, "CPF", DBEdit::Caixa::Normal},
                              {w_IDENTIDADE, "IDENTIDADE", DBEdit::Caixa::Normal},
                              {w_RGOrgao, "RGORGAO", DBEdit::Caixa::Alta},
                              {DBEdit47, "DATAEXPEDICAO", DBEdit::Caixa::Normal},
                              {w_NATURALIDADE, "NATURALIDADE", DBEdit::Caixa::Alta},
                              {w_PAI, "PAI", DBEdit::Caixa::Alta},
                              {w_MAE, "MAE", DBEdit::Caixa::Alta},
                              {w_CEP, "CEP", DBEdit::Caixa::Normal},
                              {w_ENDERECO, "ENDERECO", DBEdit::Caixa::Alta},
                              {w_Numero, "NUMERO", DBEdit::Caixa::Alta},
                              {w_Complemento, "COMPLEMENTO", DBEdit::Caixa::Alta},
                              {w_CELULAR, "CELULAR", DBEdit::Caixa::Normal},
                              {w_TELEFONE, "TELEFONE", DBEdit::Caixa::Normal},
                              {w_mail, "EMAIL", DBEdit::Caixa::Baixa}};
    for (const Edicao& e : edicoes) {
        e.caixa->setCaixa(e.caso);
        e.caixa->liga(Cliente, QString::fromLatin1(e.campo));
    }
    // QLineEdit cannot keep a blank inside a required position of its mask, and a phone holds one
    // after the landline rule ("71 32123456") or on the left when it is short: these two boxes make
    // every position optional, with a blank as the blank. The pattern's required positions are still
    // checked when the box is left.
    // A stored phone is shown in the positions the phone rule reads: a new client's default (area
    // code and eight digits) as "(71) 3212-3456", not shifted into the area code.
    for (DBEdit* fone : {w_TELEFONE, w_CELULAR}) {
        fone->setInputMask(QStringLiteral("(00)00000-0000; "));
        fone->ligacao()->textoDoCampo = [](const Field& f) {
            return f.isNull() ? QString() : regrascliente::posicoesTelefone(f.asString());
        };
    }
    w_ID->setSomenteLeitura(true);
    QPalette pid = w_ID->palette();
    pid.setColor(QPalette::Base, cor::caixaCodigo);
    w_ID->setPalette(pid);

    w_Paciente->setValores(QStringLiteral("S"), QStringLiteral("N"));
    w_Paciente->liga(Cliente, QStringLiteral("ATIVO"));

    w_Sexo->setItens(regrascliente::listaSexo());
    w_Sexo->setCaixa(DBComboBox::Caixa::Alta);
    w_Sexo->liga(Cliente, QStringLiteral("SEXO"));

    // The coded columns show the text of their code, which for COR 2 is not the list's own text.
    struct Codificada
    {
        DBComboBox* caixa;
        const char* campo;
        QStringList itens;
    };
    const Codificada codificadas[] = {{w_EstadoCivil, "CIVIL", regrascliente::listaCivil()},
                                      {w_Escolaridade, "ESCOLARIDADE", regrascliente::listaEscolaridade()},
                                      {w_Cor, "COR", regrascliente::listaCor()}};
    for (const Codificada& c : codificadas) {
        c.caixa->setLivre(true);
        c.caixa->setItens(c.itens);
        const QString coluna = QString::fromLatin1(c.campo);
        c.caixa->ligacao()->textoDoCampo = [coluna](const Field& f) {
            return regrascliente::textoDoCodigo(coluna, f.value());
        };
        c.caixa->liga(Cliente, coluna);
    }

    for (DBComboBox* c : {w_Cidade, w_Bairro}) {
        c->setLivre(true);
        c->setCaixa(DBComboBox::Caixa::Alta);
    }
    w_Bairro->setMaxVisibleItems(15);
    w_Cidade->liga(Cliente, QStringLiteral("CIDADE"));
    w_Bairro->liga(Cliente, QStringLiteral("BAIRRO"));

    DBLookupComboBox1->setLista(Dados->UF, QStringLiteral("ID"), QStringLiteral("NOME"));
    DBLookupComboBox1->liga(Cliente, QStringLiteral("RGUF"));
    DBLookupComboBox2->setLista(Dados->UF, QStringLiteral("ID"), QStringLiteral("NOME"));
    DBLookupComboBox2->liga(Cliente, QStringLiteral("UF"));

    DBMemo1->liga(Cliente, QStringLiteral("OBSERVACAO"));

    for (QWidget* w : QList<QWidget*>{w_IDENTIDADE, w_EstadoCivil, w_Cor, w_ENDERECO, w_CEP, w_TELEFONE, w_CELULAR,
                                      w_Cidade, w_Bairro})
        TelaCadastro::defineMarca(w, MarcaPreencher);
    TelaCadastro::defineMarca(w_ID, MarcaIgnorada);

    connect(w_Nome, &QLineEdit::textEdited, this, [this] { w_NomeChange(); });

    connect(Cliente, &Dataset::recordChanged, this, [this] { DataSourceDataChange(); });
    connect(Cliente, &Dataset::fieldChanged, this, [this] { DataSourceDataChange(); });
    connect(Cliente, &Dataset::stateChanged, this, [this] { DataSourceStateChange(); });
}

void TCad_Cliente::configuraTela()
{
    ImagensBotoes(Button1, Button2, Button3, Button4, Incluir, Alterar, Excluir, Confirmar, NaoConfirmar);
    pintaAbas(PageControl, {QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
                            QColor(0x80, 0x00, 0x80), QColor(0x00, 0x00, 0x00)});
    PacPodeIncluir = true;
    PacPodeAlterar = true;
    PacPodeExcluir = true;
    xColor = cor::campoObrigatorioVazio;

    tela_ = new TelaCadastro(this, Cliente);
    tela_->podeIncluir = [this] { return PacPodeIncluir; };
    tela_->podeAlterar = [this] { return PacPodeAlterar; };
    tela_->podeExcluir = [this] { return PacPodeExcluir; };
    tela_->defineNavegacao({BotaoCodigo, BotaoNome, SpeedButton5, SpeedButton6, Button1, Button2, Button3, Button4});
    tela_->defineAcoes(Incluir, Alterar, Excluir);
    tela_->defineConfirmacao(Confirmar, NaoConfirmar);
    tela_->defineSoIncluindo({w_Copia});
    tela_->defineRotuloEstado(Estado);
    // The boxes whose leaving runs a rule; saving runs the rule of the box that has the cursor.
    tela_->defineSaidas({w_Nome, w_CPF, w_IDENTIDADE, w_TELEFONE, w_CELULAR, w_MAE, w_Bairro, w_CEP},
                        [this](QWidget* caixa) { return saidaDe(caixa); });
    tela_->antesDeGravar = [this] {
        // The new client's address, as its boxes show it, for the copy button of the next one.
        enderecoNovo_.clear();
        if (Cliente->state() == EstadoDataset::Insert)
            enderecoNovo_ = {w_ENDERECO->text(),
                             w_Bairro->currentText(),
                             mascara::textoParaValor(w_CEP->mascara(), w_CEP->displayText()),
                             Cliente->field(QStringLiteral("CIDADE")).asString(),
                             mascara::posicoesDigitadas(w_TELEFONE->mascara(), w_TELEFONE->displayText()),
                             mascara::posicoesDigitadas(w_CELULAR->mascara(), w_CELULAR->displayText())};
    };
    tela_->perguntaCancelar = QStringLiteral("Cancelar Atualizações no Registro?");
    tela_->perguntaNavegando = true; // Esc asks while browsing too
    tela_->aoCancelar = [this](EstadoDataset antes) {
        if (antes == EstadoDataset::Insert)
            clicaUltimo();
        else if (antes == EstadoDataset::Browse)
            Cliente->refresh(); // another workstation may have changed the client meanwhile
    };
    tela_->aoExcluir = [this] { clicaUltimo(); };
    tela_->depoisDeGravar = [this](EstadoDataset antes) {
        if (antes != EstadoDataset::Insert) return;
        // Remembered only once the client is really saved.
        a_Endereco = enderecoNovo_.value(0);
        a_Bairro = enderecoNovo_.value(1);
        a_Cep = enderecoNovo_.value(2);
        a_Cidade = enderecoNovo_.value(3);
        a_Telefone = enderecoNovo_.value(4);
        a_Celular = enderecoNovo_.value(5);
        clicaUltimo();
    };
    aplicaDireitos(tela_, QStringLiteral("Clientes")); // only under DireitosEmTodasAsTelas

    // Keys: the screen sees them before its boxes.
    tela_->teclas = [this](QKeyEvent*) {
        MudaCorPageControl(PageControl);
        return false;
    };
    tela_->defineTecla(
        QKeySequence(Qt::Key_F3), [this] { BotaoNomeClick(); }, true);
    tela_->defineTecla(
        QKeySequence(Qt::Key_F6), [this] { BotaoCodigoClick(); }, true);
    tela_->defineTecla(QKeySequence(Qt::Key_F7), [this] { PageControl->setCurrentIndex(0); });
    tela_->defineTecla(QKeySequence(Qt::CTRL | Qt::Key_N), [this] { ActIncluirExecute(); });
    tela_->defineTecla(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { ActEditarExecute(); });
    tela_->defineTecla(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { ActGravarExecute(); });
    tela_->defineTecla(QKeySequence(Qt::Key_Escape), [this] { ActCancelarExecute(); });
    tela_->defineTecla(
        QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { NavegaClick(1); }, true);
    tela_->defineTecla(
        QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { NavegaClick(2); }, true);
    tela_->defineTecla(
        QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { NavegaClick(3); }, true);
    tela_->defineTecla(
        QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { NavegaClick(4); }, true);
    tela_->ativaEnterAvanca({DBMemo1});

    TelaCadastro::RegraCores cores;
    cores.incluiListas = true;
    cores.marcaIgnorada = MarcaIgnorada;
    cores.obrigatoriosVazios = true;
    cores.corObrigatorio = xColor;
    tela_->ativaCoresFoco(cores);

    auto liga = [this](QAbstractButton* b, void (TCad_Cliente::*acao)()) {
        connect(b, &QAbstractButton::clicked, this, [this, acao] { protegido([&] { (this->*acao)(); }); });
    };
    liga(Incluir, &TCad_Cliente::ActIncluirExecute);
    liga(Alterar, &TCad_Cliente::ActEditarExecute);
    liga(Excluir, &TCad_Cliente::ExcluirClick);
    liga(Confirmar, &TCad_Cliente::ActGravarExecute);
    liga(NaoConfirmar, &TCad_Cliente::ActCancelarExecute);
    liga(BotaoCodigo, &TCad_Cliente::BotaoCodigoClick);
    liga(SpeedButton5, &TCad_Cliente::SpeedButton5Click);
    liga(SpeedButton6, &TCad_Cliente::SpeedButton6Click);
    liga(BotaoNome, &TCad_Cliente::BotaoNomeClick);
    liga(w_Copia, &TCad_Cliente::w_CopiaClick);
    liga(Button5, &TCad_Cliente::Button5Click);
    liga(Fechar, &TCad_Cliente::fecha);
    for (QToolButton* b : {Button1, Button2, Button3, Button4})
        connect(b, &QAbstractButton::clicked, this,
                [this, b] { protegido([&] { NavegaClick(TelaCadastro::marca(b)); }); });
}

void TCad_Cliente::abreCliente()
{
    // The last client: the one with the generator's key, or the highest key a little below it.
    Cliente->close();
    Cliente->setLinha(1,
                      MaximoxRegistro(QStringLiteral("ID"), QStringLiteral("Cliente"), QStringLiteral("GEN_CLIENTE")));
    Cliente->open();
    if (Cliente->isEmpty()) {
        Cliente->close();
        Cliente->setLinha(
            1, MaximoRegistro(QStringLiteral("ID"), QStringLiteral("Cliente"), QStringLiteral("GEN_CLIENTE"), 500));
        Cliente->open();
    }
    if (Cliente->state() == EstadoDataset::Browse) clicaUltimo();
    if (!Dados->UF->active()) Dados->UF->open();
}

// ---------------------------------------------------------------- state and colours

void TCad_Cliente::DataSourceStateChange()
{
    tela_->atualizaEstado();
    MudancaDeFoco();
}

void TCad_Cliente::DataSourceDataChange()
{
    const bool inativo = Cliente->active() && Cliente->recNo() >= 0 &&
                         Cliente->field(QStringLiteral("ATIVO")).asString() == QLatin1String("N");
    corFundo(GrupoDadosGerais, inativo ? cor::clienteInativo : QColor(Qt::white));
    corFundo(TituloDadosGerais, inativo ? cor::clienteInativo : cor::azulCeu);
    corTexto(TituloDadosGerais, inativo ? QColor(Qt::white) : cor::azulMarinho);
    corTexto(LabelNome, inativo ? QColor(Qt::white) : QColor(Qt::black));
    corTexto(LabelApelido, inativo ? QColor(Qt::white) : QColor(Qt::black));
}

void TCad_Cliente::MudancaDeFoco()
{
    tela_->atualizaCores();
}

// ---------------------------------------------------------------- leaving the boxes

bool TCad_Cliente::saidaDe(QWidget* caixa)
{
    if (caixa == w_Nome) return w_NomeExit();
    if (caixa == w_CPF) {
        w_CPFExit();
    } else if (caixa == w_IDENTIDADE) {
        w_IDENTIDADEExit();
    } else if (caixa == w_TELEFONE || caixa == w_CELULAR) {
        return w_TELEFONEExit(static_cast<DBEdit*>(caixa));
    } else if (caixa == w_MAE) {
        w_MAEExit();
    } else if (caixa == w_Bairro) {
        w_BairroExit();
    } else if (caixa == w_CEP) {
        w_CEPExit();
    }
    return true;
}

bool TCad_Cliente::w_NomeExit()
{
    MudancaDeFoco();
    return regrascliente::saidaNome(*Cliente);
}

void TCad_Cliente::w_NomeChange()
{
    const QString t = w_Nome->text();
    if (t.isEmpty() || t[0] == t[0].toUpper()) return;
    const int cursor = w_Nome->cursorPosition();
    QString novo = t;
    novo[0] = t[0].toUpper();
    const QSignalBlocker bloqueio(w_Nome);
    w_Nome->setText(novo);
    w_Nome->setCursorPosition(cursor);
}

void TCad_Cliente::w_CPFExit()
{
    regrascliente::avisaCpfDuplicado(*Cliente, xBuscaCPF);
    MudancaDeFoco();
}

void TCad_Cliente::w_IDENTIDADEExit()
{
    struct Repinta
    {
        TCad_Cliente* t;
        ~Repinta() { t->MudancaDeFoco(); }
    } repinta{this};
    regrascliente::avisaIdentidadeDuplicada(*Cliente, xBuscaRG);
}

bool TCad_Cliente::w_TELEFONEExit(DBEdit* caixa)
{
    MudancaDeFoco();
    return regrascliente::saidaTelefone(Cliente->field(caixa->ligacao()->nomeCampo()));
}

void TCad_Cliente::w_MAEExit()
{
    MudancaDeFoco();
    regrascliente::saidaMae(*Cliente);
}

void TCad_Cliente::w_BairroExit()
{
    regrascliente::saidaBairro(*Cliente);
    MudancaDeFoco();
}

void TCad_Cliente::w_CEPExit()
{
    MudancaDeFoco();
    w_Numero->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- actions

QString TCad_Cliente::idAtual() const
{
    if (!Cliente->active() || Cliente->recNo() < 0) return {};
    return Cliente->field(QStringLiteral("ID")).asString();
}

void TCad_Cliente::clicaUltimo()
{
    NavegaClick(4);
}

void TCad_Cliente::NavegaClick(int atitude)
{
    MovimentaRegistro(QStringLiteral("ID"), QStringLiteral("GEN_CLIENTE"), *Cliente, atitude, 1);
}

void TCad_Cliente::ActIncluirExecute()
{
    if (!Incluir->isEnabled()) return;
    PageControl->setCurrentIndex(0);
    Cliente->append();
    w_Nome->setFocus(Qt::OtherFocusReason);
}

void TCad_Cliente::ActEditarExecute()
{
    if (!Alterar->isEnabled()) return;
    Cliente->edit();
    if (PageControl->currentIndex() == 0) w_Nome->setFocus(Qt::OtherFocusReason);
}

void TCad_Cliente::ExcluirClick()
{
    tela_->excluir();
}

void TCad_Cliente::ActGravarExecute()
{
    tela_->confirmar();
}

void TCad_Cliente::ActCancelarExecute()
{
    tela_->naoConfirmar();
}

void TCad_Cliente::BotaoCodigoClick()
{
    const QString anterior = idAtual();
    const bool procurou = tela_->irPara(
        [this](qint64 codigo) {
            Cliente->close();
            Cliente->setLinha(1, QStringLiteral("WHERE Cliente.ID = :ID") + regrascliente::planoPorId);
            Cliente->setParametro(QStringLiteral("ID"), codigo);
            Cliente->open();
        },
        [this, anterior] {
            Cliente->close();
            Cliente->setLinha(1, regrascliente::linhaPorId());
            Cliente->setParametro(QStringLiteral("ID"), anterior.toLongLong()); // none before: 0, no client
            Cliente->open();
        });
    if (procurou) Cliente->refresh();
}

void TCad_Cliente::SpeedButton5Click()
{
    const QString anterior = idAtual();
    const std::optional<QString> resposta = tela_->perguntaIrPara();
    if (!resposta || resposta->isEmpty()) return;
    // Only blanks name no document: nobody is found, and the operator is told so.
    if (resposta->trimmed().isEmpty()) {
        avisa(TelaCadastro::textoNaoEncontrado());
        return;
    }
    if (maisLongoQueAColuna(*Cliente, QStringLiteral("IDENTIDADE"), resposta->trimmed())) return;
    // Cast: a typed text longer than the column simply finds nobody.
    Cliente->close();
    Cliente->setLinha(1, QStringLiteral("WHERE IDENTIDADE = CAST(:IDENTIDADE AS VARCHAR(255))") +
                             regrascliente::planoPorIdentidade);
    Cliente->setParametro(QStringLiteral("IDENTIDADE"), resposta->trimmed());
    Cliente->open();
    if (Cliente->isEmpty()) {
        FixaCliente(anterior);
        avisa(TelaCadastro::textoNaoEncontrado());
    }
    Cliente->refresh();
}

void TCad_Cliente::SpeedButton6Click()
{
    const QString anterior = idAtual();
    const std::optional<QString> resposta = tela_->perguntaIrPara();
    if (!resposta || resposta->isEmpty()) return;
    if (maisLongoQueAColuna(*Cliente, QStringLiteral("CPF"), *resposta)) return;
    // The boxes are repainted once, when the search has ended.
    Cliente->disableControls();
    struct Retoma
    {
        Dataset* d;
        ~Retoma() { d->enableControls(); }
    } retoma{Cliente};
    Cliente->close();
    Cliente->setLinha(1, QStringLiteral("WHERE CPF = CAST(:CPF AS VARCHAR(255))") + regrascliente::planoPorCpf);
    Cliente->setParametro(QStringLiteral("CPF"), *resposta);
    Cliente->open();
    if (Cliente->isEmpty()) {
        FixaCliente(anterior);
        avisa(TelaCadastro::textoNaoEncontrado());
    }
    Cliente->refresh();
}

TConsultaListaPac* TCad_Cliente::listaPacientes() const
{
    return ConsultaListaPac;
}

void TCad_Cliente::BotaoNomeClick()
{
    if (Cliente->isEditing()) return;
    if (!ConsultaListaPac) ConsultaListaPac = new TConsultaListaPac(this);
    ConsultaListaPac->ShowPaciente();
}

void TCad_Cliente::w_CopiaClick()
{
    if (Cliente->state() != EstadoDataset::Insert) return;
    Cliente->field(QStringLiteral("ENDERECO")).setValue(a_Endereco.trimmed());
    Cliente->field(QStringLiteral("BAIRRO")).setValue(a_Bairro.trimmed());
    Cliente->field(QStringLiteral("CEP")).setValue(a_Cep.trimmed());
    Cliente->field(QStringLiteral("CIDADE")).setValue(a_Cidade.trimmed());
    Cliente->field(QStringLiteral("TELEFONE")).setValue(a_Telefone.trimmed());
    Cliente->field(QStringLiteral("CELULAR")).setValue(a_Celular.trimmed());
}

void TCad_Cliente::Button5Click()
{
    // No camera here: the button only saves what is being written.
    if (Cliente->isEditing()) ActGravarExecute();
}

void TCad_Cliente::Topo()
{
    principal_->removeWidget(Barra);
    principal_->insertWidget(1, Barra);
}

void TCad_Cliente::Abaixo()
{
    principal_->removeWidget(Barra);
    principal_->addWidget(Barra);
}

// ---------------------------------------------------------------- life of the screen

void TCad_Cliente::FormActivate()
{
    esqueceEndereco();
}

void TCad_Cliente::ligaAreaMdi()
{
    if (areaLigada_) return;
    auto* janela = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!janela || !janela->mdiArea()) return;
    areaLigada_ = true;
    QMdiArea* area = janela->mdiArea();
    ultimaAtiva_ = area->activeSubWindow();
    // Only a switch from another screen counts: the main window losing and regaining the activation
    // to a message box reports no window, then this one again.
    connect(area, &QMdiArea::subWindowActivated, this, [this, janela](QMdiSubWindow* ativa) {
        if (!ativa) return;
        if (ativa == janela && ultimaAtiva_ != janela) FormActivate();
        ultimaAtiva_ = ativa;
    });
}

void TCad_Cliente::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    ligaAreaMdi();
}

void TCad_Cliente::fecha()
{
    if (auto* janela = qobject_cast<QMdiSubWindow*>(parentWidget()))
        janela->close();
    else
        close();
}

void TCad_Cliente::closeEvent(QCloseEvent* e)
{
    if (Cliente->isEditing()) {
        // Nothing typed is dropped without the operator's word.
        if (!confirma(QStringLiteral("Cancelar Atualizações no Registro?"))) {
            e->ignore();
            return;
        }
        protegido([&] { Cliente->cancel(); });
    }
    e->accept();
    Q_EMIT fechada();
}
