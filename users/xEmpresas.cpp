#include "users/xEmpresas.h"

#include "common/acessos.h"
#include "common/global.h"
#include "common/ui/cores.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbimage.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"
#include "users/ativacao.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace visual;

namespace {

const QString mascaraCnpj = QStringLiteral("00\\.000\\.000\\/0000\\-00;0;_");

DBEdit* caixa(QWidget* pai, const char* nome)
{
    auto* e = new DBEdit(pai);
    e->setObjectName(QString::fromLatin1(nome));
    return e;
}

void somenteLeitura(DBEdit* e)
{
    e->setSomenteLeitura(true);
    e->setFocusPolicy(Qt::ClickFocus);
    corCaixa(e, cor::exibicaoSomenteLeitura);
}

QToolButton* botaoTexto(QWidget* pai, const char* nome, const QString& texto, const QString& dica)
{
    QToolButton* b = botaoFigura(pai, nome, dica);
    b->setText(texto);
    b->setAutoRaise(false);
    b->setMinimumWidth(32);
    return b;
}

} // namespace

TEmpresa::TEmpresa(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Empresa"));
    setWindowTitle(QStringLiteral("Dados da Empresa"));
    Empresas = Dados->Empresas;
    if (!Empresas->active()) Empresas->open();
    leEstados();
    montaTela();
    ligaCampos();
    configuraTela();
    FormActivate();
}

TEmpresa::~TEmpresa()
{
    if (Dados && Dados->Empresas == Empresas) {
        Empresas->beforeEdit = antesEditar_;
        if (Field* uf = Empresas->findField(QStringLiteral("UF"))) uf->onSetText = nullptr;
    }
}

QStringList TEmpresa::estados()
{
    return {QStringLiteral("AC- ACRE"),
            QStringLiteral("AL - ALAGOAS"),
            QStringLiteral("AM - AMAZONAS"),
            QStringLiteral("AP - AMAPÁ"),
            QStringLiteral("BA- BAHIA"),
            QStringLiteral("CE - CEARÁ"),
            QStringLiteral("ES - ESPÍRITO SANTO"),
            QStringLiteral("GO - GOIAIS"),
            QStringLiteral("MA - MARANHÃO"),
            QStringLiteral("MG - MINAS GERAIS"),
            QStringLiteral("MS - MATO GROSSO DO SUL"),
            QStringLiteral("MT - MATO GROSSO"),
            QStringLiteral("PA - PARÁ"),
            QStringLiteral("PR - PARANÁ"),
            QStringLiteral("PB - PARAÍBA"),
            QStringLiteral("PE - PERNAMBUCO"),
            QStringLiteral("PI - PIAUI"),
            QStringLiteral("RJ - RIO DE JANEIRO"),
            QStringLiteral("RO - RONDÔNIA"),
            QStringLiteral("RN - RIO GRANDE DO NORTE"),
            QStringLiteral("RR - RORAIMA"),
            QStringLiteral("RS - RIO GRANDE DO SUL"),
            QStringLiteral("SC - SANTA CATARINA"),
            QStringLiteral("SE- SERGIPE"),
            QStringLiteral("SP - SÃO PAULO"),
            QStringLiteral("TO - TOCANTINS")};
}

void TEmpresa::leEstados()
{
    // UF is stored as the key of UNIDADEFEDERACAO; the picker's entries start with the state's letters.
    fb::Statement q(Dados->fatura, Dados->TransFatura, QStringLiteral("SELECT ID, UF FROM UNIDADEFEDERACAO"));
    q.execute();
    while (q.fetch()) {
        const int id = q.value(0).toInt();
        const QString sigla = q.value(1).toString().trimmed().toUpper();
        idPorSigla_.insert(sigla, id);
        siglaPorId_.insert(id, sigla);
    }
    q.close();
}

// ---------------------------------------------------------------- layout

void TEmpresa::montaTela()
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->setSpacing(0);

    PanelTopo = new QFrame(this);
    PanelTopo->setObjectName(QStringLiteral("PanelTopo"));
    corFundo(PanelTopo, cores().CorTitulo);
    auto* lEmpresa = new QLabel(QStringLiteral("Empresa"), PanelTopo);
    QFont ft = lEmpresa->font();
    ft.setBold(true);
    ft.setPointSize(ft.pointSize() + 3);
    lEmpresa->setFont(ft);
    corTexto(lEmpresa, Qt::white);
    w_RazaoSocial = caixa(PanelTopo, "w_RazaoSocial");
    somenteLeitura(w_RazaoSocial);
    w_RazaoSocial->setFont(ft);
    lEmpresa->setBuddy(w_RazaoSocial);
    BotaoImagem = botaoFigura(PanelTopo, "BotaoImagem", QStringLiteral("Tem Imagem Vinculada"), QStyle::SP_FileIcon);
    BotaoAjuda =
        botaoFigura(PanelTopo, "BotaoAjuda", QStringLiteral("Ajuda do Sistema"), QStyle::SP_MessageBoxQuestion);
    auto* ht = new QHBoxLayout(PanelTopo);
    ht->setContentsMargins(10, 8, 10, 8);
    ht->addWidget(lEmpresa);
    ht->addWidget(w_RazaoSocial, 1);
    ht->addWidget(BotaoImagem);
    ht->addWidget(BotaoAjuda);
    principal->addWidget(PanelTopo);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::South);
    auto* cadastro = new QWidget;
    cadastro->setObjectName(QStringLiteral("TabCadastroEmpresa"));
    PageControl->addTab(cadastro, QStringLiteral("Cadastro da Empresa"));
    principal->addWidget(PageControl, 1);

    auto* v = new QVBoxLayout(cadastro);
    v->setContentsMargins(4, 4, 4, 4);
    PageControl2 = new QTabWidget(cadastro);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setTabPosition(QTabWidget::South);
    PageControl2->addTab(montaBasico(), QStringLiteral("Basico"));
    PageControl2->addTab(montaInternet(), QStringLiteral("Internet e Outras Configurações"));
    v->addWidget(PageControl2, 1);

    auto* barra = new QFrame(cadastro);
    barra->setObjectName(QStringLiteral("Barra"));
    barra->setFrameShape(QFrame::StyledPanel);
    auto* hb = new QHBoxLayout(barra);
    hb->setContentsMargins(8, 4, 8, 4);
    Alterar = botaoFigura(barra, "Alterar", QStringLiteral("Alterar"));
    Confirmar = botaoFigura(barra, "Confirmar", QStringLiteral("Gravar"));
    NaoConfirmar = botaoFigura(barra, "NaoConfirmar", QStringLiteral("Cancelar"));
    const struct
    {
        QToolButton* botao;
        const char* figura;
    } figuras[] = {{Alterar, "alterar.bmp"}, {Confirmar, "gravar.bmp"}, {NaoConfirmar, "cancelar.bmp"}};
    for (const auto& f : figuras)
        if (!CarregaFigura(f.botao, QString::fromLatin1(f.figura))) f.botao->setText(f.botao->toolTip());
    BotaoAnterior = botaoTexto(barra, "BotaoAnterior", QStringLiteral("-"), QStringLiteral("Registro Anterior"));
    BotaoProximo = botaoTexto(barra, "BotaoProximo", QStringLiteral("+"), QStringLiteral("Proximo Registro"));
    hb->addWidget(Alterar);
    hb->addWidget(Confirmar);
    hb->addWidget(NaoConfirmar);
    hb->addStretch();
    hb->addWidget(BotaoAnterior);
    hb->addWidget(BotaoProximo);
    v->addWidget(barra);
}

QWidget* TEmpresa::montaBasico()
{
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("TabBasico"));
    auto* h = new QHBoxLayout(aba);

    auto* grupo = new QGroupBox(QStringLiteral(" Dados Gerais "), aba);
    grupo->setObjectName(QStringLiteral("GrupoDadosGerais"));
    w_CNPJ = caixa(grupo, "w_CNPJ");
    somenteLeitura(w_CNPJ);
    w_CEP = caixa(grupo, "w_CEP");
    BotaoCep = botaoFigura(grupo, "BotaoCep", QStringLiteral("Pesquisar CEP na Internet"), QStyle::SP_BrowserReload);
    w_UF = new DBComboBox(grupo);
    w_UF->setObjectName(QStringLiteral("w_UF"));
    w_UF->setCaixa(DBComboBox::Caixa::Alta);
    w_UF->setItens(estados());
    w_Cidade = caixa(grupo, "w_Cidade");
    w_Bairro = caixa(grupo, "w_Bairro");
    w_Endereco = caixa(grupo, "w_Endereco");
    w_Numero = caixa(grupo, "w_Numero");
    w_Telefone = caixa(grupo, "w_Telefone");
    w_TelefoneWhatsapp = caixa(grupo, "w_TelefoneWhatsapp");
    w_IE = caixa(grupo, "w_IE");
    w_IM = caixa(grupo, "w_IM");
    w_Fantasia = caixa(grupo, "w_Fantasia");

    auto* g = new QGridLayout(grupo);
    int linha = 0;
    auto poe = [&](const QString& texto, QWidget* caixa, QWidget* extra = nullptr) {
        g->addWidget(legenda(grupo, texto, caixa), linha, 0);
        if (extra) {
            auto* hl = new QHBoxLayout;
            hl->setSpacing(2);
            hl->addWidget(caixa, 1);
            hl->addWidget(extra);
            g->addLayout(hl, linha, 1);
        } else {
            g->addWidget(caixa, linha, 1);
        }
        ++linha;
    };
    poe(QStringLiteral("CNPJ(MF)"), w_CNPJ);
    poe(QStringLiteral("Nome de Fantasia"), w_Fantasia);
    poe(QStringLiteral("C.E.P."), w_CEP, BotaoCep);
    poe(QStringLiteral("UF"), w_UF);
    poe(QStringLiteral("Cidade"), w_Cidade);
    poe(QStringLiteral("Bairro"), w_Bairro);
    poe(QStringLiteral("Endereço"), w_Endereco);
    poe(QStringLiteral("Número"), w_Numero);
    poe(QStringLiteral("Telefone"), w_Telefone);
    poe(QStringLiteral("WhatsAPP"), w_TelefoneWhatsapp);
    poe(QStringLiteral("Insc. Est."), w_IE);
    poe(QStringLiteral("Inscrição Municipal"), w_IM);
    g->setRowStretch(linha, 1);
    g->setColumnStretch(1, 1);
    h->addWidget(grupo, 1);

    // ---- logo
    auto* logo = new QVBoxLayout;
    w_Logo = new DBImage(aba);
    w_Logo->setObjectName(QStringLiteral("w_Logo"));
    w_Logo->setToolTip(QStringLiteral("Duplo clique para carregar o logotipo"));
    w_Logo->setFrameShape(QFrame::Box);
    w_Logo->setEsticada(true);
    w_Logo->setFixedSize(220, 160);
    BotaoCaptura = botaoFigura(aba, "BotaoCaptura", QStringLiteral("Captura Imagem"), QStyle::SP_DialogOpenButton);
    BotaoCopiar = botaoFigura(aba, "BotaoCopiar", QStringLiteral("Copiar Imagem"), QStyle::SP_FileDialogDetailedView);
    BotaoRecortar = botaoFigura(aba, "BotaoRecortar", QStringLiteral("Recortar Imagem"), QStyle::SP_TrashIcon);
    BotaoColar = botaoFigura(aba, "BotaoColar", QStringLiteral("Colar Imagem"), QStyle::SP_DialogSaveButton);
    auto* botoes = new QHBoxLayout;
    for (QToolButton* b : {BotaoCaptura, BotaoCopiar, BotaoRecortar, BotaoColar})
        botoes->addWidget(b);
    botoes->addStretch();
    logo->addWidget(w_Logo);
    logo->addLayout(botoes);
    logo->addStretch();
    h->addLayout(logo);
    return aba;
}

QWidget* TEmpresa::montaInternet()
{
    // Settings that no column holds yet: shown as designed, empty and closed to typing.
    // The two groups side by side: one above the other they would make the screen taller than a
    // maximised window at 1366x768.
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("TabInternet"));
    auto* v = new QHBoxLayout(aba);
    auto grupo = [&](const QString& titulo, const QStringList& legendas) {
        auto* gb = new QGroupBox(titulo, aba);
        auto* g = new QGridLayout(gb);
        int n = 0;
        for (const QString& texto : legendas) {
            auto* e = new QLineEdit(gb);
            e->setEnabled(false);
            g->addWidget(legenda(gb, texto, e), n, 0);
            g->addWidget(e, n, 1);
            ++n;
        }
        g->setColumnStretch(1, 1);
        v->addWidget(gb, 1, Qt::AlignTop);
        return g;
    };
    grupo(QStringLiteral(" Configuração básica de Internet "),
          {QStringLiteral("e-mail"), QStringLiteral("Site da Empresa"), QStringLiteral("SMTP"),
           QStringLiteral("UserID"), QStringLiteral("Senha smtp"), QStringLiteral("email do setor de autorização"),
           QStringLiteral("Caminho Vizualização Imagem DICOM"), QStringLiteral("Site do Boletim Médico")});
    QGridLayout* datas =
        grupo(QStringLiteral(" Datas Limites de Operação "),
              {QStringLiteral("Data Mínima (em todo o sistema)"), QStringLiteral("Data Máxima  (em todo o sistema)"),
               QStringLiteral("Travar Entradas no Estoque"), QStringLiteral("Travar Saidas no Estoque"),
               QStringLiteral("Travar Devoluções no estoque"), QStringLiteral("Travar Lançamentos do Contábil"),
               QStringLiteral("Data Mínima Financeiro")});
    auto* balanco = new QCheckBox(QStringLiteral("Relatorio de Balanco CC e Inventário Conjugados?"), aba);
    balanco->setEnabled(false);
    datas->addWidget(balanco, 7, 0, 1, 2);
    return aba;
}

// ---------------------------------------------------------------- fields

void TEmpresa::ligaCampos()
{
    const struct
    {
        DBEdit* caixa;
        const char* campo;
    } caixas[] = {{w_RazaoSocial, "RAZAOSOCIAL"},
                  {w_CNPJ, "CNPJ"},
                  {w_CEP, "CEP"},
                  {w_Cidade, "CIDADE"},
                  {w_Bairro, "BAIRRO"},
                  {w_Endereco, "ENDERECO"},
                  {w_Numero, "NUMERO"},
                  {w_Telefone, "TELEFONE"},
                  {w_TelefoneWhatsapp, "TELEFONEWHATSAPP"},
                  {w_IE, "IE"},
                  {w_IM, "IM"},
                  {w_Fantasia, "FANTASIA"}};
    w_CNPJ->setMascara(mascaraCnpj);
    for (const auto& c : caixas) {
        c.caixa->setEditaAoDigitar(true);
        c.caixa->liga(Empresas, QString::fromLatin1(c.campo));
    }

    // The state picker shows the entry of the stored key and stores the key of the entry picked.
    const QStringList itens = estados();
    w_UF->ligacao()->textoDoCampo = [this, itens](const Field& f) {
        const QString sigla = f.isNull() ? QString() : siglaPorId_.value(f.asInteger());
        for (const QString& item : itens)
            if (!sigla.isEmpty() && item.startsWith(sigla)) return item;
        return QString();
    };
    Empresas->field(QStringLiteral("UF")).onSetText = [this](Field& f, const QString& texto) {
        const QString sigla = texto.trimmed().left(2).toUpper();
        if (texto.trimmed().isEmpty()) {
            f.clear();
            return;
        }
        if (!idPorSigla_.contains(sigla))
            throw fb::Error(QStringLiteral("Estado '%1' não cadastrado em UNIDADEFEDERACAO").arg(texto));
        f.setValue(idPorSigla_.value(sigla));
    };
    w_UF->setEditaAoDigitar(true);
    w_UF->liga(Empresas, QStringLiteral("UF"));
    w_Logo->liga(Empresas, QStringLiteral("LOGO"));
}

void TEmpresa::configuraTela()
{
    tela_ = new TelaCadastro(this, Empresas);
    tela_->podeAlterar = [this] { return podeAlterar_; };
    tela_->defineNavegacao({BotaoAnterior, BotaoProximo});
    tela_->defineAcoes(nullptr, Alterar, nullptr);
    tela_->defineConfirmacao(Confirmar, NaoConfirmar);
    tela_->perguntaCancelar.clear();
    tela_->depoisDeGravar = [this](EstadoDataset) { reabre(); };

    // Every way into a change (typing, a picture, the clipboard) passes here.
    antesEditar_ = Empresas->beforeEdit;
    Empresas->beforeEdit = [this, anterior = antesEditar_](Dataset& d) {
        if (!podeAlterar_ && isVisible()) {
            avisa(QStringLiteral("Usuário não tem acesso para editar."));
            throw Abort();
        }
        if (anterior) anterior(d);
    };

    auto liga = [this](QToolButton* b, auto acao) {
        connect(b, &QAbstractButton::clicked, this, [this, acao] { protegido([&] { acao(); }); });
    };
    liga(Alterar, [this] { AlterarClick(); });
    liga(Confirmar, [this] { ConfirmarClick(); });
    liga(NaoConfirmar, [this] { NaoConfirmarClick(); });
    liga(BotaoAnterior, [this] { NavegaClick(2); });
    liga(BotaoProximo, [this] { NavegaClick(3); });
    liga(BotaoCep, [] { PesquisaCep(); });
    liga(BotaoCopiar, [this] { w_Logo->copiar(); });
    liga(BotaoRecortar, [this] { w_Logo->recortar(); });
    liga(BotaoColar, [this] { w_Logo->colar(); });
    connect(w_Logo, &DBImage::duploClique, this, [this] { w_Logo->escolheArquivo(); });
    BotaoAjuda->installEventFilter(this);

    pintaAbas(PageControl,
              {QColor(0x00, 0x80, 0x00), QColor(0x00, 0x00, 0x00), QColor(0xFF, 0x80, 0x00), QColor(0x80, 0x00, 0x80),
               QColor(0x80, 0x00, 0x40), QColor(0x80, 0x40, 0x00)},
              {QColor(), QColor(), QColor(Qt::black)});
    pintaAbas(PageControl2,
              {QColor(0x00, 0x53, 0x00), QColor(0x00, 0x80, 0x00), QColor(0x00, 0xAE, 0x00), QColor(0x00, 0xDD, 0x00)});
    PageControl->setCurrentIndex(0);
    PageControl2->setCurrentIndex(0);
    new AtivacaoTela(this, [this] { FormActivate(); });
}

bool TEmpresa::eventFilter(QObject* objeto, QEvent* evento)
{
    // A double click on the help button gives up the change in progress.
    if (objeto == BotaoAjuda && evento->type() == QEvent::MouseButtonDblClick) protegido([&] { NaoConfirmarClick(); });
    return QWidget::eventFilter(objeto, evento);
}

// ---------------------------------------------------------------- actions

void TEmpresa::reabre()
{
    Empresas->close();
    Empresas->open();
}

void TEmpresa::FormActivate()
{
    protegido([&] { podeAlterar_ = DireitosDoPrograma(programa()).alterar; });
    // A change in progress is not thrown away by coming back to the screen.
    if (!Empresas->isEditing()) protegido([&] { reabre(); });
    tela_->atualizaEstado();
}

void TEmpresa::AlterarClick()
{
    if (!Alterar->isEnabled()) return;
    Empresas->edit();
}

void TEmpresa::ConfirmarClick()
{
    tela_->confirmar();
}

void TEmpresa::NaoConfirmarClick()
{
    tela_->naoConfirmar();
}

void TEmpresa::NavegaClick(int atitude)
{
    if (!Empresas->active() || Empresas->isEditing()) return;
    if (atitude == 2)
        Empresas->prior();
    else
        Empresas->next();
}
