#include "users/xUsuarios.h"

#include "common/acessos.h"
#include "common/global.h"
#include "common/regrasusuario.h"
#include "common/sessao.h"
#include "common/ui/cores.h"
#include "common/ui/dbcheckbox.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dbimage.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbmemo.h"
#include "common/ui/dbradiogroup.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"
#include "users/ativacao.h"
#include "users/senhas.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace visual;

namespace {

const QString mascaraCpf = QStringLiteral("000\\.000\\.000\\-00;0;_");
const QString mascaraCep = QStringLiteral("00\\.000\\-999;0;_");
const QString mascaraTelefone = QStringLiteral("!\\(99\\)00000-0000;0;_");
const QString mascaraData = QStringLiteral("00/00/0000;1;_");
const QString mascaraHora = QStringLiteral("00:00;1;_");
const QString dicaData = QStringLiteral("Formato da Data em dd/MM/aaaa");
constexpr int MarcaChave = 10; // read-only key boxes, left alone by the focus colours

DBEdit* caixa(QWidget* pai, const char* nome)
{
    auto* e = new DBEdit(pai);
    e->setObjectName(QString::fromLatin1(nome));
    return e;
}

// The navy top strip of a tab.
QFrame* painelTopo(QWidget* pai, const char* nome)
{
    auto* p = new QFrame(pai);
    p->setObjectName(QString::fromLatin1(nome));
    corFundo(p, cor::azulMarinho);
    return p;
}

QLabel* legendaClara(QWidget* pai, const QString& texto, QWidget* caixa)
{
    QLabel* l = legenda(pai, texto, caixa);
    corTexto(l, Qt::white);
    return l;
}

void chaveSomenteLeitura(DBEdit* e)
{
    e->setSomenteLeitura(true);
    TelaCadastro::defineMarca(e, MarcaChave);
    corCaixa(e, e->palette().color(QPalette::ToolTipBase));
    e->setFocusPolicy(Qt::ClickFocus);
    e->setFixedWidth(90);
}

} // namespace

TCad_Usuario::TCad_Usuario(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Cad_Usuario"));
    setWindowTitle(QStringLiteral("Cadastro de Usuários"));
    Usuarios = Dados->Usuarios;
    if (!Usuarios->active()) Usuarios->open();
    if (!Dados->UF->active()) Dados->UF->open();

    // The logins of the shown user into this system, newest first.
    LogUsuario = new Dataset(QStringLiteral("LogUsuario"), &Dados->fatura, &Dados->TransFatura, this);
    LogUsuario->setSQL({QStringLiteral("select * from LOGUSUARIO"),
                        QStringLiteral("where USUARIO = :USUARIO and SISTEMA = :SISTEMA"),
                        QStringLiteral("order by ID desc")});

    montaTela();
    ligaCampos();
    configuraTela();
    reiniciaSenha();
    FormActivate();
}

TCad_Usuario::~TCad_Usuario() = default;

QString TCad_Usuario::senhaNaoAlterada()
{
    return QString(10, u'*');
}

// ---------------------------------------------------------------- layout

void TCad_Usuario::montaTela()
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->setSpacing(0);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::West);
    // Tabs on the left edge are drawn plainly, without the platform's theme.
    if (QStyle* simples = QStyleFactory::create(QStringLiteral("Windows"))) {
        simples->setParent(PageControl->tabBar());
        PageControl->tabBar()->setStyle(simples);
    }
    PageControl->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { width: 40px; }"));
    TabCadastro = montaCadastro();
    TabOutros = montaOutrosDados();
    PageControl->addTab(TabCadastro, QStringLiteral("Cadastro"));
    PageControl->addTab(TabOutros, QStringLiteral("Outros Dados"));
    principal->addWidget(PageControl, 1);
    principal->addWidget(montaBarra());
}

QWidget* TCad_Usuario::montaCadastro()
{
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("TabCadastro"));
    auto* v = new QVBoxLayout(aba);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    // ---- top strip
    QFrame* topo = painelTopo(aba, "PanelTopo");
    w_Codigo = caixa(topo, "w_Codigo");
    chaveSomenteLeitura(w_Codigo);
    BotaoCodigo = botaoFigura(topo, "BotaoCodigo", QStringLiteral("Vai para o Registro...  F6"),
                              QStyle::SP_FileDialogContentsView);
    BotaoAjuda = botaoFigura(topo, "BotaoAjuda", QStringLiteral("Ajuda do Sistema"), QStyle::SP_MessageBoxQuestion);
    auto* ht = new QHBoxLayout(topo);
    ht->setContentsMargins(8, 5, 8, 5);
    ht->addWidget(legendaClara(topo, QStringLiteral("Codigo"), w_Codigo));
    ht->addWidget(w_Codigo);
    ht->addWidget(BotaoCodigo);
    ht->addStretch();
    ht->addWidget(BotaoAjuda);
    v->addWidget(topo);

    auto* corpo = new QHBoxLayout;
    corpo->setContentsMargins(6, 6, 6, 6);
    corpo->setSpacing(8);
    auto* campos = new QVBoxLayout;
    campos->setSpacing(4);
    corpo->addLayout(campos, 1);
    v->addLayout(corpo, 1);

    // ---- identification
    campos->addWidget(faixa(aba, QStringLiteral(" IDENTIFICACÃO")));
    w_CPF = caixa(aba, "w_CPF");
    w_Nome = caixa(aba, "w_Nome");
    w_Nome->setCaixa(DBEdit::Caixa::Alta);
    BotaoNome =
        botaoFigura(aba, "BotaoNome", QStringLiteral("Busca pelo Nome - F3"), QStyle::SP_FileDialogContentsView);
    w_Apelido = caixa(aba, "w_Apelido");
    auto* g = new QGridLayout;
    naGrade(g, legenda(aba, QStringLiteral("C.P.F.(M.F.)"), w_CPF), w_CPF, 0, 0);
    g->addWidget(legenda(aba, QStringLiteral("Nome"), w_Nome), 0, 2);
    auto* nome = new QHBoxLayout;
    nome->setSpacing(2);
    nome->addWidget(w_Nome, 1);
    nome->addWidget(BotaoNome);
    g->addLayout(nome, 0, 3);
    naGrade(g, legenda(aba, QStringLiteral("Apelido"), w_Apelido), w_Apelido, 1, 0, 3);
    g->setColumnStretch(3, 1);
    w_CPF->setMinimumWidth(120);
    campos->addLayout(g);

    // ---- address
    campos->addWidget(faixa(aba, QStringLiteral(" ENDEREÇO")));
    w_CEP = caixa(aba, "w_CEP");
    BotaoCep = botaoFigura(aba, "BotaoCep", QStringLiteral("Pesquisar CEP na Internet"), QStyle::SP_BrowserReload);
    w_UF = new DBLookupComboBox(aba);
    w_UF->setObjectName(QStringLiteral("w_UF"));
    BotaoMapa = botaoFigura(aba, "BotaoMapa", QStringLiteral("Mapa"), QStyle::SP_DriveNetIcon);
    w_Cidade = caixa(aba, "w_Cidade");
    w_Bairro = caixa(aba, "w_Bairro");
    w_Endereco = caixa(aba, "w_Endereco");
    w_Telefone = caixa(aba, "w_Telefone");
    w_Celular = caixa(aba, "w_Celular");
    w_Nascimento = caixa(aba, "w_Nascimento");
    w_Matricula = caixa(aba, "w_Matricula");
    w_Matricula->setToolTip(QStringLiteral("CRM/CRO (nº no conselho regional)"));
    g = new QGridLayout;
    g->addWidget(legenda(aba, QStringLiteral("C.E.P."), w_CEP), 0, 0);
    auto* cep = new QHBoxLayout;
    cep->setSpacing(2);
    cep->addWidget(w_CEP, 1);
    cep->addWidget(BotaoCep);
    g->addLayout(cep, 0, 1);
    g->addWidget(legenda(aba, QStringLiteral("U.F."), w_UF), 0, 2);
    auto* uf = new QHBoxLayout;
    uf->setSpacing(2);
    uf->addWidget(w_UF, 1);
    uf->addWidget(BotaoMapa);
    g->addLayout(uf, 0, 3);
    naGrade(g, legenda(aba, QStringLiteral("Cidade"), w_Cidade), w_Cidade, 0, 4, 3);
    naGrade(g, legenda(aba, QStringLiteral("Bairro"), w_Bairro), w_Bairro, 1, 0, 3);
    naGrade(g, legenda(aba, QStringLiteral("Endereço"), w_Endereco), w_Endereco, 1, 4, 3);
    naGrade(g, legenda(aba, QStringLiteral("Telefone"), w_Telefone), w_Telefone, 2, 0);
    naGrade(g, legenda(aba, QStringLiteral("Celular"), w_Celular), w_Celular, 2, 2);
    naGrade(g, legenda(aba, QStringLiteral("Nascimento"), w_Nascimento), w_Nascimento, 2, 4);
    naGrade(g, legenda(aba, QStringLiteral("C.R."), w_Matricula), w_Matricula, 2, 6);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setColumnStretch(5, 1);
    g->setColumnStretch(7, 1);
    campos->addLayout(g);

    // ---- other information
    campos->addWidget(faixa(aba, QStringLiteral(" OUTRAS INFORMAÇÕES ")));
    w_Funcao = caixa(aba, "w_Funcao");
    w_Funcao->setCaixa(DBEdit::Caixa::Alta);
    w_Senha = new QLineEdit(aba);
    w_Senha->setObjectName(QStringLiteral("w_Senha"));
    w_Senha->setEchoMode(QLineEdit::Password);
    w_Senha->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    w_Senha->setMinimumWidth(120);
    LBS = new QLabel(aba);
    LBS->setObjectName(QStringLiteral("LBS"));
    LBS->setMinimumWidth(60);
    QFont fl = LBS->font();
    fl.setBold(true);
    LBS->setFont(fl);
    corTexto(LBS, cor::azulMarinho);
    w_SolicitaSenha = new DBCheckBox(aba);
    w_SolicitaSenha->setObjectName(QStringLiteral("w_SolicitaSenha"));
    w_SolicitaSenha->setText(QStringLiteral("Solicitar Alterar Senha"));
    w_Ativo = new DBRadioGroup(aba);
    w_Ativo->setObjectName(QStringLiteral("w_Ativo"));
    w_Ativo->setTitle(QStringLiteral("Estado"));
    w_Ativo->setItens({QStringLiteral("Ativo"), QStringLiteral("Bloqueado"), QStringLiteral("Cancelado")},
                      {QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("N")});
    w_Ativo->setColunas(3);
    g = new QGridLayout;
    naGrade(g, legenda(aba, QStringLiteral("Função"), w_Funcao), w_Funcao, 0, 0, 4);
    naGrade(g, legenda(aba, QStringLiteral("Senha"), w_Senha), w_Senha, 1, 0);
    g->addWidget(LBS, 1, 2);
    g->addWidget(w_SolicitaSenha, 1, 3);
    g->addWidget(w_Ativo, 1, 4);
    g->setColumnStretch(4, 1);
    campos->addLayout(g);

    // ---- message
    w_Observacao = new DBMemo(aba);
    w_Observacao->setObjectName(QStringLiteral("w_Observacao"));
    QLabel* mensagem = faixa(aba, QStringLiteral(" MENSAGEM PARA USUÁRIO "));
    mensagem->setBuddy(w_Observacao);
    campos->addWidget(mensagem);
    campos->addWidget(w_Observacao, 1);

    // ---- photo
    w_Foto = new DBImage(aba);
    w_Foto->setObjectName(QStringLiteral("w_Foto"));
    w_Foto->setToolTip(QStringLiteral("Duplo clique para carregar a foto"));
    w_Foto->setFrameShape(QFrame::Box);
    w_Foto->setEsticada(true);
    w_Foto->setFixedSize(150, 180);
    auto* foto = new QVBoxLayout;
    foto->addWidget(w_Foto);
    foto->addStretch();
    corpo->addLayout(foto);
    return aba;
}

QWidget* TCad_Usuario::montaOutrosDados()
{
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("TabOutros"));
    auto* v = new QVBoxLayout(aba);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    QFrame* topo = painelTopo(aba, "PanelTopo2");
    w_Codigo2 = caixa(topo, "w_Codigo2");
    chaveSomenteLeitura(w_Codigo2);
    BotaoCodigo2 =
        botaoFigura(topo, "BotaoCodigo2", QStringLiteral("Vai para o Registro..."), QStyle::SP_FileDialogContentsView);
    w_Nome2 = caixa(topo, "w_Nome2");
    w_Nome2->setCaixa(DBEdit::Caixa::Alta);
    auto* ht = new QHBoxLayout(topo);
    ht->setContentsMargins(8, 5, 8, 5);
    ht->addWidget(legendaClara(topo, QStringLiteral("Codigo"), w_Codigo2));
    ht->addWidget(w_Codigo2);
    ht->addWidget(BotaoCodigo2);
    ht->addSpacing(12);
    ht->addWidget(legendaClara(topo, QStringLiteral("Nome"), w_Nome2));
    ht->addWidget(w_Nome2, 1);
    v->addWidget(topo);

    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(6, 6, 6, 6);
    v->addLayout(corpo, 1);

    auto* expediente = new QGroupBox(QStringLiteral(" Expediente de Trabalho "), aba);
    expediente->setObjectName(QStringLiteral("GrupoExpediente"));
    w_Expira = caixa(expediente, "w_Expira");
    w_Expira->setToolTip(dicaData);
    w_HoraInicio = caixa(expediente, "w_HoraInicio");
    w_HoraFim = caixa(expediente, "w_HoraFim");
    w_DataAdmissao = caixa(expediente, "w_DataAdmissao");
    w_DataAdmissao->setToolTip(dicaData);
    w_Sexo = new DBComboBox(expediente);
    w_Sexo->setObjectName(QStringLiteral("w_Sexo"));
    w_Sexo->setItens({QStringLiteral("M"), QStringLiteral("F")});
    auto* ge = new QHBoxLayout(expediente);
    ge->addWidget(legenda(expediente, QStringLiteral("Senha Expira em"), w_Expira));
    ge->addWidget(w_Expira);
    ge->addSpacing(10);
    ge->addWidget(legenda(expediente, QStringLiteral("Incio"), w_HoraInicio));
    ge->addWidget(w_HoraInicio);
    ge->addWidget(legenda(expediente, QStringLiteral("Final"), w_HoraFim));
    ge->addWidget(w_HoraFim);
    ge->addSpacing(10);
    ge->addWidget(legenda(expediente, QStringLiteral("Admissão"), w_DataAdmissao));
    ge->addWidget(w_DataAdmissao);
    ge->addSpacing(10);
    ge->addWidget(legenda(expediente, QStringLiteral("Sexo"), w_Sexo));
    ge->addWidget(w_Sexo);
    ge->addStretch();
    for (DBEdit* e : {w_Expira, w_DataAdmissao})
        e->setFixedWidth(95);
    for (DBEdit* e : {w_HoraInicio, w_HoraFim})
        e->setFixedWidth(60);
    corpo->addWidget(expediente);

    GridAcessos = new DBGrid(aba);
    GridAcessos->setObjectName(QStringLiteral("GridAcessos"));
    auto* titulo = new QLabel(QStringLiteral("Lista de Acessos do Usuário"), aba);
    titulo->setBuddy(GridAcessos);
    QFont ft = titulo->font();
    ft.setBold(true);
    titulo->setFont(ft);
    corTexto(titulo, cor::azulMarinho);
    corpo->addWidget(titulo);
    corpo->addWidget(GridAcessos, 1);
    return aba;
}

QWidget* TCad_Usuario::montaBarra()
{
    auto* barra = new QFrame(this);
    barra->setObjectName(QStringLiteral("Barra"));
    barra->setFrameShape(QFrame::StyledPanel);
    auto* h = new QHBoxLayout(barra);
    h->setContentsMargins(8, 4, 8, 4);

    Estado = rotuloEstado(barra);
    h->addWidget(Estado);

    Button1 = botaoFigura(barra, "Button1", QStringLiteral("Primeiro Registro"), QStyle::SP_MediaSkipBackward);
    Button2 = botaoFigura(barra, "Button2", QStringLiteral("Registro Anterior"), QStyle::SP_MediaSeekBackward);
    Button3 = botaoFigura(barra, "Button3", QStringLiteral("Proximo Registro"), QStyle::SP_MediaSeekForward);
    Button4 = botaoFigura(barra, "Button4", QStringLiteral("Ultimo Registro"), QStyle::SP_MediaSkipForward);
    Incluir = botaoFigura(barra, "Incluir", QStringLiteral("Incluir"));
    Alterar = botaoFigura(barra, "Alterar", QStringLiteral("Alterar"));
    Excluir = botaoFigura(barra, "Excluir", QStringLiteral("Excluir"));
    Confirmar = botaoFigura(barra, "Confirmar", QStringLiteral("Gravar"));
    NaoConfirmar = botaoFigura(barra, "NaoConfirmar", QStringLiteral("Cancelar"));
    ImagensBotoes(Button1, Button2, Button3, Button4, Incluir, Alterar, Excluir, Confirmar, NaoConfirmar);
    for (QToolButton* b : {Incluir, Alterar, Excluir, Confirmar, NaoConfirmar})
        if (b->icon().isNull()) b->setText(b->toolTip()); // no picture: the hint as caption

    h->addStretch();
    for (QToolButton* b : {Button1, Button2, Button3, Button4})
        h->addWidget(b);
    h->addSpacing(16);
    auto* acao = new QLabel(QStringLiteral("Ação"), barra);
    acao->setBuddy(Incluir);
    h->addWidget(acao);
    for (QToolButton* b : {Incluir, Alterar, Excluir})
        h->addWidget(b);
    h->addSpacing(16);
    auto* confirmacao = new QLabel(QStringLiteral("Confirmação"), barra);
    confirmacao->setBuddy(Confirmar);
    h->addWidget(confirmacao);
    h->addWidget(Confirmar);
    h->addWidget(NaoConfirmar);
    return barra;
}

// ---------------------------------------------------------------- fields

void TCad_Usuario::ligaCampos()
{
    struct Ligacao
    {
        DBEdit* caixa;
        const char* campo;
        QString mascara;
    };
    const Ligacao caixas[] = {
        {w_Codigo, "ID", {}},
        {w_CPF, "CPF", mascaraCpf},
        {w_Nome, "NOME", {}},
        {w_Apelido, "APELIDO", {}},
        {w_CEP, "CEP", mascaraCep},
        {w_Cidade, "CIDADE", {}},
        {w_Bairro, "BAIRRO", {}},
        {w_Endereco, "ENDERECO", {}},
        {w_Telefone, "TELEFONE2", mascaraTelefone},
        {w_Celular, "CELULAR", mascaraTelefone},
        {w_Nascimento, "NASCIMENTO", mascaraData},
        {w_Matricula, "MATRICULA", {}},
        {w_Funcao, "FUNCAO", {}},
        {w_Codigo2, "ID", {}},
        {w_Nome2, "NOME", {}},
        {w_Expira, "EXPIRA", mascaraData},
        {w_HoraInicio, "HORAINICIO", mascaraHora},
        {w_HoraFim, "HORAFIM", mascaraHora},
        {w_DataAdmissao, "DATAADMISSAO", mascaraData},
    };
    for (const Ligacao& l : caixas) {
        if (!l.mascara.isEmpty()) l.caixa->setMascara(l.mascara);
        l.caixa->liga(Usuarios, QString::fromLatin1(l.campo));
    }
    // After binding, which sets the length from the column.
    w_Matricula->setMaxLength(14);
    w_Funcao->setMaxLength(100);

    w_UF->setLista(Dados->UF, QStringLiteral("ID"), QStringLiteral("UF"));
    w_UF->liga(Usuarios, QStringLiteral("UF"));
    w_SolicitaSenha->liga(Usuarios, QStringLiteral("SOLICITASENHA"));
    w_Ativo->liga(Usuarios, QStringLiteral("ATIVO"));
    w_Observacao->liga(Usuarios, QStringLiteral("OBSERVACAO"));
    w_Foto->liga(Usuarios, QStringLiteral("FOTO"));
    w_Sexo->liga(Usuarios, QStringLiteral("SEXO"));

    GridAcessos->adicionaColuna(QStringLiteral("USUARIO"), QStringLiteral("Usuario"), 70);
    GridAcessos->adicionaColuna(QStringLiteral("SISTEMA"), QStringLiteral("Sistema"), 110);
    GridAcessos->adicionaColuna(QStringLiteral("ENTRADA"), QStringLiteral("Entrada"), 140);
    GridAcessos->adicionaColuna(QStringLiteral("SAIDA"), QStringLiteral("Saída"), 140);
    GridAcessos->adicionaColuna(QStringLiteral("IP"), QStringLiteral("IP"), 120);
    GridAcessos->adicionaColuna(QStringLiteral("VERSAO"), QStringLiteral("Versão"), 90);
    GridAcessos->setLinhaInteira(true);
    GridAcessos->setZebra(true);
    GridAcessos->liga(LogUsuario);
}

void TCad_Usuario::configuraTela()
{
    tela_ = new TelaCadastro(this, Usuarios);
    tela_->podeIncluir = [this] { return podeIncluir_; };
    tela_->podeAlterar = [this] { return podeAlterar_; };
    tela_->podeExcluir = [this] { return podeExcluir_; };
    tela_->defineNavegacao({BotaoCodigo, BotaoCodigo2, BotaoNome, Button1, Button2, Button3, Button4});
    tela_->defineAcoes(Incluir, Alterar, Excluir);
    tela_->defineConfirmacao(Confirmar, NaoConfirmar);
    tela_->defineSoEditando({w_Senha});
    tela_->defineRotuloEstado(Estado);
    tela_->aoCancelar = [this](EstadoDataset) { tela_->atualizaEstado(); };
    tela_->antesDeGravar = [this] {
        confereAdministrador();
        aplicaSenha();
        semExpiracao_ = avisoSemExpiracao(Usuarios->value(QStringLiteral("EXPIRA")));
        gravando_ = Usuarios->state() == EstadoDataset::Edit ? Usuarios->value(QStringLiteral("ID")) : QVariant();
    };
    // The list is read again after the post, in name order; the user just saved is shown.
    tela_->depoisDeGravar = [this](EstadoDataset antes) {
        const QVariant gravado = antes == EstadoDataset::Insert ? Usuarios->chaveInserida() : gravando_;
        if (gravado.isValid() && !Usuarios->isEmpty() &&
            Usuarios->value(QStringLiteral("ID")).toInt() != gravado.toInt())
            Usuarios->locate({QStringLiteral("ID")}, {gravado});
        if (!semExpiracao_.isEmpty()) avisa(semExpiracao_);
    };

    tela_->ativaEnterAvanca(); // the memo included
    tela_->defineTecla(
        QKeySequence(Qt::Key_F6), [this] { BotaoCodigoClick(); }, true);
    tela_->defineTecla(
        QKeySequence(Qt::Key_F3), [this] { BotaoNome->click(); }, true);
    TelaCadastro::RegraCores cores;
    cores.marcaIgnorada = MarcaChave;
    tela_->ativaCoresFoco(cores);

    auto liga = [this](QToolButton* b, void (TCad_Usuario::*acao)()) {
        connect(b, &QAbstractButton::clicked, this, [this, acao] { protegido([&] { (this->*acao)(); }); });
    };
    liga(Incluir, &TCad_Usuario::IncluirClick);
    liga(Alterar, &TCad_Usuario::AlterarClick);
    liga(Excluir, &TCad_Usuario::ExcluirClick);
    liga(Confirmar, &TCad_Usuario::ConfirmarClick);
    liga(NaoConfirmar, &TCad_Usuario::NaoConfirmarClick);
    liga(BotaoCodigo, &TCad_Usuario::BotaoCodigoClick);
    liga(BotaoCodigo2, &TCad_Usuario::BotaoCodigoClick);
    liga(BotaoMapa, &TCad_Usuario::BotaoMapaClick);
    liga(BotaoCep, &TCad_Usuario::BotaoCepClick);
    int atitude = 1;
    for (QToolButton* b : {Button1, Button2, Button3, Button4}) {
        connect(b, &QAbstractButton::clicked, this, [this, atitude] { protegido([&] { NavegaClick(atitude); }); });
        ++atitude;
    }
    connect(w_Foto, &DBImage::duploClique, this, [this] { protegido([&] { FotoDblClick(); }); });

    connect(w_Senha, &QLineEdit::textEdited, this, [this] { senhaDigitada_ = true; });
    connect(w_Senha, &QLineEdit::textChanged, this, [this](const QString& texto) {
        if (!reiniciando_) LBS->setText(ForcaSenha(texto));
    });
    w_Senha->installEventFilter(this);

    connect(Usuarios, &Dataset::stateChanged, this, [this] {
        if (!Usuarios->isEditing()) reiniciaSenha();
        protegeAdministrador();
    });
    connect(Usuarios, &Dataset::recordChanged, this, [this] {
        if (!Usuarios->isEditing()) reiniciaSenha();
        protegeAdministrador();
        if (PageControl->currentIndex() == 1) protegido([&] { abreAcessos(); });
    });
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { protegido([&] { PageControlChange(); }); });

    MudaCorPageControl(PageControl);
    PageControl->setCurrentIndex(0);
    ativacao_ = new AtivacaoTela(this, [this] { FormActivate(); });
}

bool TCad_Usuario::eventFilter(QObject* objeto, QEvent* evento)
{
    // Typing over the placeholder replaces it instead of adding to it.
    if (objeto == w_Senha && evento->type() == QEvent::FocusIn && !senhaDigitada_)
        QTimer::singleShot(0, w_Senha, [this] {
            if (!senhaDigitada_) w_Senha->selectAll();
        });
    return QWidget::eventFilter(objeto, evento);
}

// ---------------------------------------------------------------- rights and activation

void TCad_Usuario::FormActivate()
{
    // Rights are applied with the state: enabling Incluir while a record is being written would
    // let it save that record without Confirmar.
    protegido([&] {
        const Direitos d = DireitosDoPrograma(programa());
        podeIncluir_ = d.incluir;
        podeAlterar_ = d.alterar;
        podeExcluir_ = d.excluir;
    });
    tela_->atualizaEstado();
    protegeAdministrador();
}

// ---------------------------------------------------------------- the administrator's row

// An operator who could set the administrator's password, or the mobile number a recovered
// password is sent to, would log in as the administrator. Blocking, cancelling or deleting the
// administrator is refused to everyone (common/regrasusuario). Unblocking stays open: it is the way
// back for an administrator blocked before this rule.
bool TCad_Usuario::administradorProtegido() const
{
    if (sessao().UsuarioEmUso == QStringLiteral("1")) return false;
    if (!Usuarios->active() || Usuarios->isEmpty() || Usuarios->state() == EstadoDataset::Insert) return false;
    return Usuarios->value(QStringLiteral("ID")).toInt() == 1;
}

void TCad_Usuario::protegeAdministrador()
{
    const bool soAdministrador = administradorProtegido();
    w_Senha->setReadOnly(soAdministrador);
    if (w_Celular->ligacao()->somenteLeitura() != soAdministrador) w_Celular->setSomenteLeitura(soAdministrador);
}

// A save that would change what only the administrator may is refused whole; the row stays in change.
void TCad_Usuario::confereAdministrador()
{
    auto mudou = [this](const QString& coluna) {
        const Field& f = Usuarios->field(coluna);
        return f.value().toString() != f.oldValue().toString();
    };
    QString recusa;
    // Nobody, the administrator included, may lock the administrator out.
    if (mudou(QStringLiteral("ATIVO")))
        recusa = recusaEstadoUsuario(Usuarios->value(QStringLiteral("ID")),
                                     Usuarios->value(QStringLiteral("ATIVO")).toString());
    if (recusa.isEmpty() && administradorProtegido()) {
        if ((senhaDigitada_ && !w_Senha->text().isEmpty()) || mudou(QStringLiteral("SENHA")))
            recusa = QStringLiteral("Somente o administrador pode alterar a senha do administrador.");
        else if (mudou(QStringLiteral("CELULAR")))
            recusa = QStringLiteral("Somente o administrador pode alterar o celular do administrador.");
    }
    if (recusa.isEmpty()) return;
    avisa(recusa);
    throw Abort();
}

// ---------------------------------------------------------------- password field

void TCad_Usuario::reiniciaSenha()
{
    reiniciando_ = true;
    w_Senha->setText(senhaNaoAlterada());
    LBS->clear();
    senhaDigitada_ = false;
    reiniciando_ = false;
}

void TCad_Usuario::aplicaSenha()
{
    const QString senha = senhaDigitada_ ? w_Senha->text() : QString();
    if (senha.isEmpty()) {
        if (Usuarios->state() != EstadoDataset::Insert) return; // unchanged
        PageControl->setCurrentIndex(0);
        avisa(QStringLiteral("Informe a senha do novo usuário (mínimo de %1 caracteres).").arg(TamanhoMinimoSenha));
        w_Senha->setFocus();
        throw Abort();
    }
    if (const QString problema = mensagemTamanhoSenha(senha); !problema.isEmpty()) {
        PageControl->setCurrentIndex(0);
        simples(problema);
        w_Senha->setFocus();
        w_Senha->selectAll();
        throw Abort();
    }
    Usuarios->field(QStringLiteral("SENHA")).setValue(senha);
    Usuarios->field(QStringLiteral("SOLICITASENHA")).setValue(QStringLiteral("S"));
}

// ---------------------------------------------------------------- buttons

void TCad_Usuario::IncluirClick()
{
    if (!Incluir->isEnabled()) return;
    reiniciaSenha();
    Usuarios->append();
    Usuarios->field(QStringLiteral("HORAINICIO")).setValue(QTime(0, 0));
    Usuarios->field(QStringLiteral("HORAFIM")).setValue(QTime(23, 59));
    PageControl->setCurrentIndex(0);
    w_CPF->setFocus();
}

void TCad_Usuario::AlterarClick()
{
    if (!Alterar->isEnabled()) return;
    reiniciaSenha();
    Usuarios->edit();
    if (PageControl->currentIndex() == 0) w_Nome->setFocus();
}

void TCad_Usuario::ConfirmarClick()
{
    tela_->confirmar();
}

void TCad_Usuario::NaoConfirmarClick()
{
    tela_->naoConfirmar();
}

void TCad_Usuario::ExcluirClick()
{
    if (const QString recusa = Excluir->isEnabled() && Usuarios->active() && !Usuarios->isEmpty() &&
                                       Usuarios->state() != EstadoDataset::Insert
                                   ? recusaExcluirUsuario(Usuarios->value(QStringLiteral("ID")))
                                   : QString();
        !recusa.isEmpty()) {
        avisa(recusa);
        return;
    }
    tela_->excluir();
}

void TCad_Usuario::NavegaClick(int atitude)
{
    if (!Usuarios->active() || Usuarios->isEditing()) return;
    switch (atitude) {
    case 1:
        Usuarios->first();
        break;
    case 2:
        Usuarios->prior();
        break;
    case 3:
        Usuarios->next();
        break;
    default:
        Usuarios->last();
        break;
    }
}

void TCad_Usuario::abreSomente(const QVariant& id)
{
    Usuarios->close();
    Usuarios->setSQL({QStringLiteral("SELECT * FROM USUARIOS WHERE ID = :ID ORDER BY NOME")});
    Usuarios->setParametro(QStringLiteral("ID"), id);
    Usuarios->open();
}

void TCad_Usuario::BotaoCodigoClick()
{
    const QVariant lembrado =
        Usuarios->active() && !Usuarios->isEmpty() ? Usuarios->value(QStringLiteral("ID")) : QVariant();
    // Keys are INTEGER: a number past that range is no code, and would fail as a parameter.
    TelaCadastro::IrPara regra;
    regra.alemDaChaveNaoEncontrado = false;
    regra.semAcento = true;
    const std::optional<qint64> codigo = tela_->perguntaCodigo(regra);
    if (!codigo) return;
    Usuarios->disableControls();
    try {
        abreSomente(*codigo);
        if (Usuarios->isEmpty()) {
            avisa(TelaCadastro::textoNaoEncontrado());
            abreSomente(lembrado);
        }
    } catch (...) {
        Usuarios->enableControls();
        throw;
    }
    Usuarios->enableControls();
}

void TCad_Usuario::BotaoMapaClick()
{
    MostraMapa(w_Endereco->text(), w_Cidade->text(), w_UF->currentText());
}

void TCad_Usuario::BotaoCepClick()
{
    PesquisaCep();
}

void TCad_Usuario::FotoDblClick()
{
    // Loading a photo opens a browsed user for change, which needs the right to change.
    if (!Usuarios->isEditing() && !Alterar->isEnabled()) return;
    w_Foto->escolheArquivo();
}

// ---------------------------------------------------------------- tabs

void TCad_Usuario::PageControlChange()
{
    MudaCorPageControl(PageControl);
    if (PageControl->currentIndex() == 1)
        abreAcessos();
    else
        LogUsuario->close();
}

void TCad_Usuario::abreAcessos()
{
    LogUsuario->close();
    const QVariant id =
        Usuarios->active() && !Usuarios->isEmpty() ? Usuarios->value(QStringLiteral("ID")) : QVariant(0);
    LogUsuario->setParametro(QStringLiteral("USUARIO"), id.isNull() ? QVariant(0) : id);
    LogUsuario->setParametro(QStringLiteral("SISTEMA"), Dados->SistemaCentral);
    LogUsuario->open();
}
