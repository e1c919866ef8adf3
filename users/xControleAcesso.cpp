#include "users/xControleAcesso.h"

#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/cores.h"
#include "common/ui/gridzebra.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/visual.h"
#include "data/arquivos.h"
#include "users/ativacao.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QSplitter>
#include <QStyleOption>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace visual;

namespace {

constexpr int colunasDireito[] = {TControleAcesso::ColIncluir, TControleAcesso::ColAlterar,
                                  TControleAcesso::ColExcluir};

bool ehColunaDireito(int coluna)
{
    return coluna >= TControleAcesso::ColIncluir && coluna <= TControleAcesso::ColExcluir;
}

QString situacao(const QString& ativo)
{
    if (ativo == QStringLiteral("B")) return QStringLiteral("Bloqueado");
    if (ativo == QStringLiteral("N")) return QStringLiteral("Cancelado");
    return QStringLiteral("Ativo");
}

// Headings of the rights grid: the three rights carry a tick that shows the state of the whole
// column (ticked, clear, or partly ticked); a click on the heading is handled by the screen.
class CabecalhoMarcas : public QHeaderView
{
public:
    CabecalhoMarcas(QTableWidget* grade) : QHeaderView(Qt::Horizontal, grade), grade_(grade)
    {
        setSectionsClickable(true);
        setHighlightSections(false);
    }

    Qt::CheckState estado(int coluna) const
    {
        int marcadas = 0, linhas = grade_->rowCount();
        for (int r = 0; r < linhas; ++r)
            if (QTableWidgetItem* i = grade_->item(r, coluna); i && i->checkState() == Qt::Checked) ++marcadas;
        if (linhas == 0 || marcadas == 0) return Qt::Unchecked;
        return marcadas == linhas ? Qt::Checked : Qt::PartiallyChecked;
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (!ehColunaDireito(logicalIndex)) return;
        QStyleOptionButton opcao;
        const int lado = style()->pixelMetric(QStyle::PM_IndicatorWidth);
        opcao.rect = QRect(rect.left() + 6, rect.center().y() - lado / 2, lado, lado);
        opcao.state = QStyle::State_Enabled;
        if (!isEnabled()) opcao.state &= ~QStyle::State_Enabled;
        switch (estado(logicalIndex)) {
        case Qt::Checked:
            opcao.state |= QStyle::State_On;
            break;
        case Qt::PartiallyChecked:
            opcao.state |= QStyle::State_NoChange;
            break;
        default:
            opcao.state |= QStyle::State_Off;
        }
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opcao, painter);
    }

private:
    QTableWidget* grade_;
};

// The user list's stripes; a blocked user's red gives way to the highlighted text on the selected row.
class DelegadoUsuarios : public DelegadoZebra
{
public:
    explicit DelegadoUsuarios(QTableWidget* grade) : DelegadoZebra(grade), grade_(grade) {}

protected:
    void initStyleOption(QStyleOptionViewItem* opcao, const QModelIndex& index) const override
    {
        DelegadoZebra::initStyleOption(opcao, index);
        if (grade_->selectionModel() && grade_->selectionModel()->isSelected(index))
            opcao->palette.setColor(QPalette::Text, opcao->palette.color(QPalette::Active, QPalette::HighlightedText));
    }

private:
    QTableWidget* grade_;
};

QTableWidget* grade(QWidget* pai, const char* nome, const QStringList& titulos)
{
    auto* g = new QTableWidget(0, int(titulos.size()), pai);
    g->setObjectName(QString::fromLatin1(nome));
    g->setHorizontalHeaderLabels(titulos);
    g->verticalHeader()->setVisible(false);
    g->verticalHeader()->setDefaultSectionSize(22);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setItemDelegate(new DelegadoZebra(g));
    g->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #A6CAF0; }"));
    return g;
}

QToolButton* botaoTexto(QWidget* pai, const char* nome, const QString& texto, QStyle::StandardPixmap figura)
{
    QToolButton* b = botaoFigura(pai, nome, texto, figura);
    b->setText(texto);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(false);
    b->setMinimumHeight(34);
    return b;
}

QString flags(const Direitos& d)
{
    auto f = [](bool b) { return b ? QChar(u'S') : QChar(u'N'); };
    return QString(f(d.incluir)) + f(d.alterar) + f(d.excluir);
}

// Only the administrator changes rights.
bool podeTrabalhar()
{
    return sessao().UsuarioEmUso.trimmed() == QStringLiteral("1");
}

QVariant usuarioDaSessao()
{
    bool ok = false;
    const int id = sessao().UsuarioEmUso.trimmed().toInt(&ok);
    return ok ? QVariant(id) : QVariant();
}

} // namespace

TControleAcesso::TControleAcesso(QWidget* parent, std::function<std::vector<ItemMenu>()> menu)
    : QWidget(parent), menu_(std::move(menu))
{
    setObjectName(QStringLiteral("ControleAcesso"));
    setWindowTitle(QStringLiteral("Controle de Acesso"));
    montaTela();
    protegido([&] {
        carregaProgramas();
        carregaUsuarios();
    });
    atualizaEstado();
    new AtivacaoTela(this, [this] { FormActivate(); });
}

TControleAcesso::~TControleAcesso() = default;

// ---------------------------------------------------------------- layout

void TControleAcesso::montaTela()
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->setSpacing(0);

    auto* topo = new QFrame(this);
    topo->setObjectName(QStringLiteral("PanelTopo"));
    corFundo(topo, cores().CorTitulo);
    auto* titulo = new QLabel(QStringLiteral("Controle de Acesso"), topo);
    titulo->setObjectName(QStringLiteral("Titulo"));
    QFont ft = titulo->font();
    ft.setBold(true);
    ft.setPointSize(ft.pointSize() + 3);
    titulo->setFont(ft);
    corTexto(titulo, Qt::white);
    auto* explica = new QLabel(QStringLiteral("Escolha o usuário à esquerda e marque o que ele pode fazer em cada "
                                              "programa. Uma marca no título da coluna marca ou desmarca a coluna."),
                               topo);
    corTexto(explica, QColor(0xC0, 0xC0, 0xC0));
    auto* ht = new QHBoxLayout(topo);
    ht->setContentsMargins(10, 8, 10, 8);
    ht->addWidget(titulo);
    ht->addSpacing(20);
    ht->addWidget(explica, 1);
    principal->addWidget(topo);

    auto* divisor = new QSplitter(Qt::Horizontal, this);
    divisor->setObjectName(QStringLiteral("Divisor"));
    divisor->setChildrenCollapsible(false);

    auto* esquerda = new QWidget(divisor);
    auto* ve = new QVBoxLayout(esquerda);
    ve->setContentsMargins(8, 8, 4, 8);
    GridUsuarios =
        grade(esquerda, "GridUsuarios", {QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Situação")});
    GridUsuarios->setItemDelegate(new DelegadoUsuarios(GridUsuarios));
    GridUsuarios->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    GridUsuarios->setColumnWidth(0, 60);
    GridUsuarios->setColumnWidth(2, 90);
    LabelUsuarios = faixa(esquerda, QStringLiteral(" USUÁRIOS"));
    LabelUsuarios->setObjectName(QStringLiteral("LabelUsuarios"));
    LabelUsuarios->setBuddy(GridUsuarios);
    ve->addWidget(LabelUsuarios);
    ve->addWidget(GridUsuarios, 1);

    auto* direita = new QWidget(divisor);
    auto* vd = new QVBoxLayout(direita);
    vd->setContentsMargins(4, 8, 8, 8);
    GridDireitos = grade(
        direita, "GridDireitos",
        {QStringLiteral("Programa"), QStringLiteral("Incluir"), QStringLiteral("Alterar"), QStringLiteral("Excluir")});
    auto* cabecalho = new CabecalhoMarcas(GridDireitos);
    GridDireitos->setHorizontalHeader(cabecalho);
    cabecalho->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #A6CAF0; padding-left: 24px; }"));
    cabecalho->setSectionResizeMode(ColPrograma, QHeaderView::Stretch);
    for (int c : colunasDireito)
        GridDireitos->setColumnWidth(c, 100);
    GridDireitos->setSelectionMode(QAbstractItemView::NoSelection);
    LabelDireitos = faixa(direita, QStringLiteral(" DIREITOS"));
    LabelDireitos->setObjectName(QStringLiteral("LabelDireitos"));
    LabelDireitos->setBuddy(GridDireitos);
    Aviso =
        new QLabel(QStringLiteral("O administrador tem todos os direitos; os seus não podem ser alterados."), direita);
    Aviso->setObjectName(QStringLiteral("Aviso"));
    corTexto(Aviso, cor::azulMarinho);
    vd->addWidget(LabelDireitos);
    vd->addWidget(GridDireitos, 1);
    vd->addWidget(Aviso);

    divisor->addWidget(esquerda);
    divisor->addWidget(direita);
    divisor->setStretchFactor(0, 2);
    divisor->setStretchFactor(1, 3);
    divisor->setSizes({520, 780});
    principal->addWidget(divisor, 1);

    auto* barra = new QFrame(this);
    barra->setObjectName(QStringLiteral("Barra"));
    barra->setFrameShape(QFrame::StyledPanel);
    auto* h = new QHBoxLayout(barra);
    h->setContentsMargins(8, 4, 8, 4);
    Estado = rotuloEstado(barra);
    h->addWidget(Estado);
    h->addStretch();
    Desbloquear = botaoTexto(barra, "Desbloquear", QStringLiteral("Desbloquear"), QStyle::SP_DialogResetButton);
    CopiarDe = botaoTexto(barra, "CopiarDe", QStringLiteral("Copiar de…"), QStyle::SP_FileDialogContentsView);
    h->addWidget(Desbloquear);
    h->addWidget(CopiarDe);
    h->addSpacing(16);
    Confirmar = botaoFigura(barra, "Confirmar", QStringLiteral("Gravar"), QStyle::SP_DialogSaveButton);
    NaoConfirmar = botaoFigura(barra, "NaoConfirmar", QStringLiteral("Cancelar"), QStyle::SP_DialogCancelButton);
    CarregaFigura(Confirmar, QStringLiteral("gravar.bmp"));
    CarregaFigura(NaoConfirmar, QStringLiteral("cancelar.bmp"));
    auto* confirmacao = new QLabel(QStringLiteral("Confirmação"), barra);
    confirmacao->setBuddy(Confirmar);
    h->addWidget(confirmacao);
    h->addWidget(Confirmar);
    h->addWidget(NaoConfirmar);
    principal->addWidget(barra);

    connect(GridUsuarios, &QTableWidget::currentCellChanged, this, [this](int linha, int, int anterior, int) {
        if (linha == anterior || carregando_) return;
        protegido([&] { carregaDireitos(); });
    });
    connect(GridDireitos, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { mudouMarca(item); });
    connect(cabecalho, &QHeaderView::sectionClicked, this, [this, cabecalho](int coluna) {
        if (!ehColunaDireito(coluna)) return;
        marcaColuna(coluna, cabecalho->estado(coluna) != Qt::Checked);
    });
    auto liga = [this](QToolButton* b, void (TControleAcesso::*acao)()) {
        connect(b, &QToolButton::clicked, this, [this, acao] { protegido([this, acao] { (this->*acao)(); }); });
    };
    liga(Confirmar, &TControleAcesso::ConfirmarClick);
    liga(NaoConfirmar, &TControleAcesso::NaoConfirmarClick);
    liga(CopiarDe, &TControleAcesso::CopiarDeClick);
    liga(Desbloquear, &TControleAcesso::DesbloquearClick);
}

// ---------------------------------------------------------------- reading

void TControleAcesso::carregaProgramas()
{
    if (sessao().UsuarioEmUso.trimmed() == QStringLiteral("1") && menu_) CompletaCatalogo(menu_());
    carregando_ = true;
    GridDireitos->setRowCount(0);
    fb::Statement q(Dados->fatura, Dados->TransFatura,
                    QStringLiteral("SELECT PROGRAMA FROM PROGRAMAS ORDER BY MENUHORIZONTAL, MENUVERTICAL, SUBMENU, "
                                   "PROGRAMA"));
    q.execute();
    while (q.fetch()) {
        const int r = GridDireitos->rowCount();
        GridDireitos->insertRow(r);
        auto* nome = new QTableWidgetItem(q.value(0).toString());
        nome->setFlags(Qt::ItemIsEnabled);
        GridDireitos->setItem(r, ColPrograma, nome);
        for (int c : colunasDireito) {
            auto* marca = new QTableWidgetItem;
            marca->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            marca->setCheckState(Qt::Unchecked);
            GridDireitos->setItem(r, c, marca);
        }
    }
    q.close();
    carregando_ = false;
}

void TControleAcesso::carregaUsuarios()
{
    const int anterior = usuario_;
    carregando_ = true;
    GridUsuarios->setRowCount(0);
    fb::Statement q(Dados->fatura, Dados->TransFatura,
                    QStringLiteral("SELECT ID, NOME, ATIVO FROM USUARIOS ORDER BY ID"));
    q.execute();
    int linhaAnterior = -1;
    while (q.fetch()) {
        const int r = GridUsuarios->rowCount();
        GridUsuarios->insertRow(r);
        const int id = q.value(0).toInt();
        const QString ativo = q.value(2).toString().trimmed();
        auto* codigo = new QTableWidgetItem(QString::number(id));
        codigo->setData(Qt::UserRole, id);
        codigo->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* nome = new QTableWidgetItem(q.value(1).toString().trimmed());
        auto* estado = new QTableWidgetItem(situacao(ativo));
        estado->setData(Qt::UserRole, ativo);
        GridUsuarios->setItem(r, 0, codigo);
        GridUsuarios->setItem(r, 1, nome);
        GridUsuarios->setItem(r, 2, estado);
        if (ativo == QStringLiteral("B")) {
            // A blocked user stands out: red, bold, on the whole row.
            for (QTableWidgetItem* i : {codigo, nome, estado}) {
                i->setForeground(QColor(0xC0, 0x00, 0x00));
                QFont f = GridUsuarios->font();
                f.setBold(true);
                i->setFont(f);
            }
        }
        if (id == anterior) linhaAnterior = r;
    }
    q.close();
    // The same user as before when it is still there, else the first one.
    if (linhaAnterior < 0 && GridUsuarios->rowCount() > 0) linhaAnterior = 0;
    if (linhaAnterior >= 0) GridUsuarios->setCurrentCell(linhaAnterior, 0);
    carregando_ = false;
    carregaDireitos();
}

int TControleAcesso::linhaDe(int usuario) const
{
    for (int r = 0; r < GridUsuarios->rowCount(); ++r)
        if (GridUsuarios->item(r, 0)->data(Qt::UserRole).toInt() == usuario) return r;
    return -1;
}

QString TControleAcesso::ativoDe(int usuario) const
{
    const int r = linhaDe(usuario);
    return r < 0 ? QString() : GridUsuarios->item(r, 2)->data(Qt::UserRole).toString();
}

QHash<QString, QString> TControleAcesso::direitosGravados(int usuario) const
{
    QHash<QString, QString> r;
    fb::Statement q(Dados->fatura, Dados->TransFatura,
                    QStringLiteral("SELECT PROGRAMA, INCLUIR, ALTERAR, EXCLUIR FROM ACESSOS WHERE USUARIO = :USUARIO "
                                   "ORDER BY ID"));
    q.setParameter(QStringLiteral("USUARIO"), usuario);
    q.execute();
    while (q.fetch()) {
        const QString programa = q.value(0).toString();
        if (r.contains(programa)) continue; // a second row for the same program: the first one counts
        auto sim = [&q](int i) { return q.value(i).toString().trimmed() == QStringLiteral("S"); };
        r.insert(programa, flags({sim(1), sim(2), sim(3)}));
    }
    q.close();
    return r;
}

void TControleAcesso::carregaDireitos()
{
    const int linha = GridUsuarios->currentRow();
    usuario_ = linha >= 0 ? GridUsuarios->item(linha, 0)->data(Qt::UserRole).toInt() : 0;
    editando_ = false;
    gravados_.clear();
    if (usuario_ > 1) gravados_ = direitosGravados(usuario_);
    mostraDireitos(gravados_);
    const QString nome = linha >= 0 ? GridUsuarios->item(linha, 1)->text() : QString();
    LabelDireitos->setText(usuario_ ? QStringLiteral(" DIREITOS DE ") + QString::number(usuario_) +
                                          QStringLiteral(" - ") + nome.toUpper()
                                    : QStringLiteral(" DIREITOS"));
    atualizaEstado();
}

void TControleAcesso::mostraDireitos(const QHash<QString, QString>& direitos)
{
    carregando_ = true;
    const bool admin = administradorSelecionado();
    for (int r = 0; r < GridDireitos->rowCount(); ++r) {
        const QString d = admin ? QStringLiteral("SSS") : direitos.value(GridDireitos->item(r, ColPrograma)->text());
        int i = 0;
        for (int c : colunasDireito) {
            QTableWidgetItem* marca = GridDireitos->item(r, c);
            marca->setCheckState(d.size() > i && d[i] == u'S' ? Qt::Checked : Qt::Unchecked);
            ++i;
        }
    }
    carregando_ = false;
    GridDireitos->horizontalHeader()->viewport()->update();
}

QString TControleAcesso::direitosMostrados(const QString& programa) const
{
    for (int r = 0; r < GridDireitos->rowCount(); ++r) {
        if (GridDireitos->item(r, ColPrograma)->text() != programa) continue;
        QString d;
        for (int c : colunasDireito)
            d += GridDireitos->item(r, c)->checkState() == Qt::Checked ? u'S' : u'N';
        return d;
    }
    return QString();
}

QStringList TControleAcesso::programas() const
{
    QStringList r;
    for (int i = 0; i < GridDireitos->rowCount(); ++i)
        r << GridDireitos->item(i, ColPrograma)->text();
    return r;
}

bool TControleAcesso::selecionaUsuario(int usuario)
{
    const int r = linhaDe(usuario);
    if (editando_ || r < 0) return false;
    GridUsuarios->setCurrentCell(r, 0);
    return usuario_ == usuario;
}

// ---------------------------------------------------------------- state

void TControleAcesso::atualizaEstado()
{
    const bool admin = podeTrabalhar();
    const bool alteravel = admin && usuario_ > 1;
    Estado->setText(TelaCadastro::textoEstado(editando_ ? EstadoDataset::Edit : EstadoDataset::Browse));
    GridUsuarios->setEnabled(!editando_);
    GridDireitos->setEnabled(alteravel);
    GridDireitos->horizontalHeader()->setEnabled(alteravel);
    Aviso->setVisible(administradorSelecionado());
    CopiarDe->setEnabled(alteravel);
    Desbloquear->setEnabled(admin && !editando_ && usuario_ > 0 && ativoDe(usuario_) == QStringLiteral("B"));
    Confirmar->setEnabled(admin && editando_);
    NaoConfirmar->setEnabled(admin && editando_);
}

void TControleAcesso::mudouMarca(QTableWidgetItem* item)
{
    if (carregando_ || !item || !ehColunaDireito(item->column())) return;
    GridDireitos->horizontalHeader()->viewport()->update();
    if (!editando_) {
        editando_ = true;
        atualizaEstado();
    }
}

void TControleAcesso::marcaColuna(int coluna, bool marcar)
{
    if (!ehColunaDireito(coluna) || !GridDireitos->isEnabled()) return;
    bool mudou = false;
    carregando_ = true;
    for (int r = 0; r < GridDireitos->rowCount(); ++r) {
        QTableWidgetItem* marca = GridDireitos->item(r, coluna);
        const Qt::CheckState novo = marcar ? Qt::Checked : Qt::Unchecked;
        if (marca->checkState() == novo) continue;
        marca->setCheckState(novo);
        mudou = true;
    }
    carregando_ = false;
    if (mudou) mudouMarca(GridDireitos->item(0, coluna));
}

void TControleAcesso::FormActivate()
{
    if (editando_) return; // a change in progress stays as it is
    protegido([&] {
        carregaProgramas();
        carregaUsuarios();
    });
    atualizaEstado();
}

// ---------------------------------------------------------------- actions

void TControleAcesso::CopiarDeClick()
{
    if (!CopiarDe->isEnabled()) return;
    QString valor;
    if (!dialogos().entrada(QStringLiteral("Copiar de…"), QStringLiteral("Copiar os direitos do usuário de código:"),
                            valor))
        return;
    bool ok = false;
    const int origem = valor.trimmed().toInt(&ok);
    if (!ok || linhaDe(origem) < 0) {
        erro(QStringLiteral("Usuário não Encontrado!"));
        return;
    }
    if (origem == usuario_) return;
    QHash<QString, QString> direitos;
    if (origem == 1) {
        for (const QString& p : programas())
            direitos.insert(p, QStringLiteral("SSS"));
    } else {
        direitos = direitosGravados(origem);
    }
    mostraDireitos(direitos);
    editando_ = true; // a starting point: nothing is stored before Confirmar
    atualizaEstado();
}

void TControleAcesso::NaoConfirmarClick()
{
    if (!editando_) return;
    if (!confirma(QStringLiteral("Deseja Cancelar Atualização?"))) return;
    carregaDireitos();
}

void TControleAcesso::ConfirmarClick()
{
    if (!editando_ || !podeTrabalhar() || usuario_ <= 1) return;
    // What is stored now, another station's changes included; a refused save keeps the ticks.
    if (gravaDireitos()) carregaDireitos();
}

bool TControleAcesso::gravaDireitos()
{
    const QVariant quem = usuarioDaSessao();
    const QDateTime momento = agora();
    // A transaction of its own: either every row of the user is written or none is.
    fb::Transaction t(Dados->fatura);
    try {
        // The user's row held while its rights are written: two stations saving the same user
        // one after the other, never mixed.
        fb::Statement trava(Dados->fatura, t, QStringLiteral("SELECT ID FROM USUARIOS WHERE ID = :ID WITH LOCK"));
        trava.setParameter(QStringLiteral("ID"), usuario_);
        trava.execute();
        const bool existe = trava.fetch();
        trava.close();
        if (!existe) {
            erro(QStringLiteral("Usuário não Encontrado!"));
            return false;
        }
    } catch (const fb::Error& e) {
        if (!e.isLockConflict()) throw;
        avisa(QStringLiteral("Os direitos deste usuário estão sendo gravados em outra estação. Tente novamente."));
        return false;
    }

    QSet<QString> existentes;
    {
        fb::Statement q(Dados->fatura, t, QStringLiteral("SELECT PROGRAMA FROM ACESSOS WHERE USUARIO = :USUARIO"));
        q.setParameter(QStringLiteral("USUARIO"), usuario_);
        q.execute();
        while (q.fetch())
            existentes.insert(q.value(0).toString());
    }
    fb::Statement altera(Dados->fatura, t,
                         QStringLiteral("UPDATE ACESSOS SET INCLUIR = :I, ALTERAR = :A, EXCLUIR = :E, USER2 = :QUEM, "
                                        "DATAUSER2 = :MOMENTO, IP2 = :IP, VERSAO2 = :VERSAO "
                                        "WHERE USUARIO = :USUARIO AND PROGRAMA = :PROGRAMA"));
    fb::Statement inclui(Dados->fatura, t,
                         QStringLiteral("INSERT INTO ACESSOS (USUARIO, PROGRAMA, INCLUIR, ALTERAR, EXCLUIR, USER1, "
                                        "DATAUSER1, IP1, VERSAO1) VALUES (:USUARIO, :PROGRAMA, :I, :A, :E, :QUEM, "
                                        ":MOMENTO, :IP, :VERSAO)"));
    for (const QString& programa : programas()) {
        const QString d = direitosMostrados(programa);
        const bool existe = existentes.contains(programa);
        // Only what was changed here is written over, so that a right given meanwhile at another
        // station on another program stays; a program without a row gets one.
        if (existe && gravados_.value(programa) == d) continue;
        fb::Statement& s = existe ? altera : inclui;
        s.setParameter(QStringLiteral("USUARIO"), usuario_);
        s.setParameter(QStringLiteral("PROGRAMA"), programa);
        s.setParameter(QStringLiteral("I"), QString(d[0]));
        s.setParameter(QStringLiteral("A"), QString(d[1]));
        s.setParameter(QStringLiteral("E"), QString(d[2]));
        s.setParameter(QStringLiteral("QUEM"), quem);
        s.setParameter(QStringLiteral("MOMENTO"), momento);
        s.setParameter(QStringLiteral("IP"), Dados->IpSistemaCentral.left(16));
        s.setParameter(QStringLiteral("VERSAO"), Dados->VersaoSistemaCentral.left(20));
        s.execute();
    }
    t.commit();
    return true;
}

void TControleAcesso::DesbloquearClick()
{
    if (!Desbloquear->isEnabled()) return;
    const int usuario = usuario_;
    const int linha = GridUsuarios->currentRow();
    const QString nome = linha >= 0 ? GridUsuarios->item(linha, 1)->text() : QString();
    if (!confirma(QStringLiteral("Desbloquear o usuário %1 - %2?").arg(usuario).arg(nome))) return;
    {
        fb::Transaction t(Dados->fatura);
        fb::Statement s(Dados->fatura, t,
                        QStringLiteral("UPDATE USUARIOS SET ATIVO = 'S', USER2 = :QUEM, DATAUSER2 = :MOMENTO, "
                                       "IP2 = :IP, VERSAO2 = :VERSAO WHERE ID = :ID AND ATIVO = 'B'"));
        s.setParameter(QStringLiteral("QUEM"), usuarioDaSessao());
        s.setParameter(QStringLiteral("MOMENTO"), agora());
        s.setParameter(QStringLiteral("IP"), Dados->IpSistemaCentral.left(20));
        s.setParameter(QStringLiteral("VERSAO"), Dados->VersaoSistemaCentral.left(20));
        s.setParameter(QStringLiteral("ID"), usuario);
        s.execute();
        t.commit();
    }
    // The shared user list (login window, user registry) shows the user as stored now.
    Dataset* usuarios = Dados->Usuarios;
    if (usuarios->active() && !usuarios->isEditing() && !usuarios->isEmpty() &&
        usuarios->value(QStringLiteral("ID")).toInt() == usuario)
        usuarios->refresh();
    carregaUsuarios();
    informa(QStringLiteral("Usuário desbloqueado."));
}
