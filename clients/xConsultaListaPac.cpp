#include "clients/xConsultaListaPac.h"

#include "clients/regrascliente.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/texto.h"
#include "common/ui/cores.h"
#include "common/ui/dbgrid.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The first statement line of each search carries its row limit; the fifth its condition.
constexpr int LinhaSelect = 0;
constexpr int LinhaCondicao = 4;
// What is typed reaches the statements as a parameter of this type, so that a text longer than the
// column (or a pattern a little longer than the name) is compared instead of refused by the server.
// A pattern holds the typed text plus its wildcards.
constexpr int TamanhoDigitado = 100;
const QString busca = QStringLiteral("CAST(:BUSCA AS VARCHAR(210))");
const QString literal = QStringLiteral("CAST(:LITERAL AS VARCHAR(210))");
// The plans that go with the conditions. A pattern with a leading "%" can use no index: the table is
// read once and the matches sorted, instead of walking the name index and reading every client in
// name order. The exact searches read their own index and sort the few rows found; only the
// positional search walks the name index, and stops at its row limit.
const QString planoTabela = QStringLiteral(" PLAN SORT (P NATURAL)");
const QString planoCpf = QStringLiteral(" PLAN SORT (P INDEX (IX_CLIENTE_CPF))");
// The identity is compared without regard to letter case ("mg-12.345.678" typed so is found by
// "MG-12.345.678"), through the index on its upper-case form.
const QString planoIdentidade = QStringLiteral(" PLAN SORT (P INDEX (IX_CLIENTE_IDENTIDADE_UPPER))");
const QString planoMae = QStringLiteral(" PLAN SORT (P INDEX (IX_CLIENTE_MAE))");

// The partial-search pattern: the words in order, anything between them and around them. The first
// three blanks separate words; further blanks belong to the last one. A "%" or "_" typed inside a
// word is the operator's own wildcard ("MARIA%SOUZA" finds MARIA DE SOUZA).
QString padraoParcial(const QString& texto, bool dobra)
{
    QStringList partes;
    QString resto = texto;
    for (int i = 0; i < 3; ++i) {
        const qsizetype b = resto.indexOf(u' ');
        if (b < 0) break;
        partes << resto.left(b);
        resto = resto.mid(b + 1);
    }
    partes << resto;
    if (dobra)
        for (QString& p : partes)
            p = SemAcentoPac(p);
    return u'%' + partes.join(QStringLiteral("%%")) + u'%';
}

QString semBrancosADireita(QString s)
{
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

// Upper case on everything typed, the caret where it was.
void forcaMaiusculas(QLineEdit* caixa)
{
    QObject::connect(caixa, &QLineEdit::textEdited, caixa, [caixa](const QString& t) {
        const QString alta = t.toUpper();
        if (alta == t) return;
        const int cursor = caixa->cursorPosition();
        caixa->setText(alta);
        caixa->setCursorPosition(cursor);
    });
}

QLabel* rotulo(const QString& texto, QWidget* caixa, QWidget* pai)
{
    auto* l = new QLabel(texto, pai);
    l->setBuddy(caixa);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    return l;
}

} // namespace

QString SemAcentoPac(const QString& texto)
{
    static const struct
    {
        const char16_t* de;
        char16_t para;
    } trocas[] = {{u"'", u' '},    {u"ÀÁÂÃÄ", u'A'}, {u"Ç", u'C'},    {u"ÈÉÊË", u'E'},  {u"ÌÍÎÏ", u'I'},
                  {u"Ñ", u'N'},    {u"ÒÓÔÕÖ", u'O'}, {u"ÙÚÛÜ", u'U'}, {u"àáâãä", u'a'}, {u"ç", u'c'},
                  {u"èéêë", u'e'}, {u"ìíîï", u'i'},  {u"ñ", u'n'},    {u"òóôõö", u'o'}, {u"ùúûü", u'u'}};
    QString r = texto;
    for (QChar& c : r)
        for (const auto& t : trocas)
            if (QStringView(t.de).contains(c)) {
                c = QChar(t.para);
                break;
            }
    return r;
}

TConsultaListaPac::TConsultaListaPac(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConsultaListaPac"));
    setWindowTitle(QStringLiteral("Lista de Pacientes"));
    resize(860, 560);

    Query1 = new Dataset(QStringLiteral("Query1"), &Dados->fatura, &Dados->TransFatura, this);
    Query1->setSQL({QStringLiteral("SELECT FIRST 100 "),
                    QStringLiteral("P.NOME, P.MAE, P.ATIVO, P.ID, P.NASC, P.IDENTIDADE, P.TELEFONE,  P.CELULAR, P.CPF, "
                                   "P.SEXO"),
                    QStringLiteral("FROM CLIENTE P"), QString(), QStringLiteral("WHERE (1=1)"),
                    QStringLiteral("ORDER BY P.NOME")});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(75);
    connect(Timer1, &QTimer::timeout, this, [this] { protegido([&] { Timer1Timer(); }); });

    // ---- top panel
    PanelTopo = new QFrame(this);
    PanelTopo->setObjectName(QStringLiteral("PanelTopo"));
    PanelTopo->setAutoFillBackground(true);
    QPalette pt = PanelTopo->palette();
    pt.setColor(QPalette::Window, cores().CorTitulo);
    PanelTopo->setPalette(pt);

    auto caixa = [this](const char* nome, const QString& dica) {
        auto* e = new QLineEdit(PanelTopo);
        e->setObjectName(QString::fromLatin1(nome));
        if (!dica.isEmpty()) e->setToolTip(dica);
        forcaMaiusculas(e);
        e->setMaxLength(TamanhoDigitado);
        e->installEventFilter(this);
        return e;
    };
    auto buscar = [this](const char* nome) {
        auto* b = new QPushButton(QStringLiteral("Buscar"), PanelTopo);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };
    w_Busca = caixa("w_Busca", QStringLiteral("Coloque o nome ou CPF (sem . ou -)"));
    w_BuscaParcial = new QCheckBox(PanelTopo);
    w_BuscaParcial->setObjectName(QStringLiteral("w_BuscaParcial"));
    w_BuscaParcial->setChecked(BuscaConfiguracao(QStringLiteral("PadraoBuscaParcialPaciente")) == QLatin1String("S"));
    Edit2 = caixa("Edit2", QString());
    BitBtn6 = buscar("BitBtn6");
    const QString dicaEspaco = QStringLiteral("Barra de Espaço para processar a busca");
    w_Busca1 = caixa("w_Busca1", dicaEspaco);
    BitBtn3 = buscar("BitBtn3");
    Edit1 = caixa("Edit1", dicaEspaco);
    BitBtn5 = buscar("BitBtn5");

    auto* gt = new QGridLayout(PanelTopo);
    gt->setContentsMargins(8, 8, 8, 8);
    gt->addWidget(rotulo(QStringLiteral("Procurar por"), w_Busca, PanelTopo), 0, 0);
    gt->addWidget(w_Busca, 0, 1, 1, 5);
    auto* parcial = new QHBoxLayout;
    parcial->addWidget(w_BuscaParcial);
    parcial->addWidget(rotulo(QStringLiteral("Busca Parcial"), w_BuscaParcial, PanelTopo));
    parcial->addStretch();
    gt->addLayout(parcial, 0, 6, 1, 3);
    gt->addWidget(rotulo(QStringLiteral("por Mãe"), Edit2, PanelTopo), 1, 0);
    gt->addWidget(Edit2, 1, 1);
    gt->addWidget(BitBtn6, 1, 2);
    gt->addWidget(rotulo(QStringLiteral("Identidade"), w_Busca1, PanelTopo), 1, 3);
    gt->addWidget(w_Busca1, 1, 4);
    gt->addWidget(BitBtn3, 1, 5);
    gt->addWidget(rotulo(QStringLiteral("CPF"), Edit1, PanelTopo), 1, 6);
    gt->addWidget(Edit1, 1, 7);
    gt->addWidget(BitBtn5, 1, 8);
    gt->setColumnStretch(1, 3);
    gt->setColumnStretch(4, 2);
    gt->setColumnStretch(7, 2);

    // ---- grid
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->adicionaColuna(QStringLiteral("NOME"), QStringLiteral("Nome"), 300);
    DBGrid1->adicionaColuna(QStringLiteral("ID"), QStringLiteral("Codigo"), 70);
    DBGrid1->adicionaColuna(QStringLiteral("CELULAR"), QStringLiteral("Telefone"), 120,
                            QStringLiteral("!\\(99\\) 99999-9999;0;_"));
    DBGrid1->adicionaColuna(QStringLiteral("CPF"), QStringLiteral("CPF"), 100);
    DBGrid1->adicionaColuna(QStringLiteral("MAE"), QStringLiteral("Mãe"), 240);
    DBGrid1->setZebra(true);
    DBGrid1->liga(Query1);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { protegido([&] { BitBtn1Click(); }); });

    // ---- bottom
    BitBtn1 = new QPushButton(QStringLiteral("&Ok"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("&Fim"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    BitBtn1->setAutoDefault(false);
    BitBtn1->setDefault(true);
    auto* rodape = new QHBoxLayout;
    rodape->addStretch();
    rodape->addWidget(BitBtn1);
    rodape->addWidget(BitBtn2);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 8);
    v->addWidget(PanelTopo);
    v->addWidget(DBGrid1, 1);
    auto* margem = new QHBoxLayout;
    margem->setContentsMargins(8, 0, 8, 0);
    margem->addLayout(rodape);
    v->addLayout(margem);

    setTabOrder(w_Busca, w_BuscaParcial);
    setTabOrder(w_BuscaParcial, Edit2);
    setTabOrder(Edit2, BitBtn6);
    setTabOrder(BitBtn6, w_Busca1);
    setTabOrder(w_Busca1, BitBtn3);
    setTabOrder(BitBtn3, Edit1);
    setTabOrder(Edit1, BitBtn5);
    setTabOrder(BitBtn5, DBGrid1);
    setTabOrder(DBGrid1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(w_Busca, &QLineEdit::textChanged, this, [this] { w_BuscaChange(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { protegido([&] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { protegido([&] { BitBtn3Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { protegido([&] { BitBtn5Click(); }); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { protegido([&] { BitBtn6Click(); }); });
    connect(Query1, &Dataset::recordChanged, this, [this] { DataSourceDataChange(); });
}

TConsultaListaPac::~TConsultaListaPac()
{
    Timer1->stop();
}

// ---------------------------------------------------------------- showing

int TConsultaListaPac::ShowPaciente()
{
    DBGrid1->setLinhaInteira(false);
    Query1->close();
    Query1->setLinha(LinhaCondicao, QStringLiteral("WHERE P.NOME >='A' "));
    Query1->open();
    return dialogos().mostrarModal(this);
}

int TConsultaListaPac::ShowModalParts()
{
    DBGrid1->setLinhaInteira(true);
    return dialogos().mostrarModal(this);
}

int TConsultaListaPac::CodigoPacNo() const
{
    if (!Query1->active() || Query1->isEmpty()) return 0;
    return Query1->field(QStringLiteral("ID")).asInteger();
}

QString TConsultaListaPac::MatriculaPacNo() const
{
    if (!Query1->active() || Query1->isEmpty()) return {};
    return Query1->field(QStringLiteral("CPF")).asString();
}

void TConsultaListaPac::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TConsultaListaPac::hideEvent(QHideEvent* e)
{
    // However the list is closed, the timer stops with it.
    Timer1->stop();
    QDialog::hideEvent(e);
}

void TConsultaListaPac::FormActivate()
{
    Timer1->start();
    w_Tempo = 0;
    w_Stado = false;
    w_Busca->setFocus();
    w_Busca->clear();
    w_Busca1->clear();
    defineBotaoPadrao(BitBtn1);
}

// ---------------------------------------------------------------- the name search

void TConsultaListaPac::w_BuscaChange()
{
    w_Tempo = 0;
    w_Stado = true;
}

bool TConsultaListaPac::w_BuscaKeyDown(int tecla)
{
    if (!Timer1->isActive()) Timer1->start();
    if (tecla != Qt::Key_Down && tecla != Qt::Key_Up) return false;
    if (Query1->active() && !Query1->isEmpty()) {
        if (tecla == Qt::Key_Down)
            Query1->next();
        else
            Query1->prior();
        if (!semBrancosADireita(w_Busca->text()).startsWith(u'%'))
            w_Busca->setText(Query1->field(QStringLiteral("NOME")).asString());
    }
    return true;
}

void TConsultaListaPac::abre(const QString& linha0, const QString& linha4, const QVariant& valor,
                             const QVariant& valorLiteral)
{
    Query1->close();
    Query1->setLinha(LinhaSelect, linha0);
    Query1->setLinha(LinhaCondicao, linha4);
    Query1->setParametro(QStringLiteral("BUSCA"), valor);
    if (valorLiteral.isValid()) Query1->setParametro(QStringLiteral("LITERAL"), valorLiteral);
    Query1->open();
}

void TConsultaListaPac::Timer1Timer()
{
    const QString texto = w_Busca->text();
    const QString semFim = semBrancosADireita(texto);
    const bool proprio = semFim.startsWith(u'%'); // the operator's own pattern
    const bool parcial = w_BuscaParcial->isChecked() || proprio;

    ++w_Tempo;
    if (w_Tempo <= 10 || !w_Stado) return;
    if (texto.isEmpty()) return; // stays pending until there is something to look for

    DBGrid1->setUpdatesEnabled(false);
    struct Retoma
    {
        QWidget* w;
        ~Retoma() { w->setUpdatesEnabled(true); }
    } retoma{DBGrid1};
    Query1->close();
    // The folding finds "D AVILA" for a typed "D'AVILA"; a name stored with the quote or the accents
    // typed is found as well (a second pattern, only when folding changed the text).
    const bool dobrado = SemAcentoPac(texto) != texto;
    if (proprio) {
        const QString condicao = QStringLiteral("P.NOME LIKE UPPER(") + busca + u')';
        if (dobrado)
            abre(QStringLiteral("SELECT"),
                 QStringLiteral("WHERE (") + condicao + QStringLiteral(" OR P.NOME LIKE UPPER(") + literal +
                     QStringLiteral("))") + planoTabela,
                 SemAcentoPac(texto), texto);
        else
            abre(QStringLiteral("SELECT"), QStringLiteral("WHERE ") + condicao + planoTabela, SemAcentoPac(texto));
    } else if (enumero(texto)) {
        abre(parcial ? QStringLiteral("SELECT FIRST 200") : QStringLiteral("SELECT FIRST 100"),
             QStringLiteral("WHERE (P.CPF=") + busca + QStringLiteral(") ") + planoCpf, texto);
    } else if (parcial) {
        // The operator's words; a "%" or "_" among them is a wildcard of the pattern.
        const QString condicao = QStringLiteral("P.NOME LIKE UPPER(") + busca + u')';
        if (dobrado)
            abre(QStringLiteral("SELECT FIRST 200"),
                 QStringLiteral("WHERE (") + condicao + QStringLiteral(" OR P.NOME LIKE UPPER(") + literal +
                     QStringLiteral("))") + planoTabela,
                 padraoParcial(semFim, true), padraoParcial(semFim, false));
        else
            abre(QStringLiteral("SELECT FIRST 200"), QStringLiteral("WHERE (") + condicao + u')' + planoTabela,
                 padraoParcial(semFim, true));
    } else {
        abre(QStringLiteral("SELECT FIRST 100"),
             QStringLiteral("WHERE (P.NOME >= UPPER(") + busca + QStringLiteral("))"), SemAcentoPac(semFim));
    }
    w_Tempo = 0;
    w_Stado = false;
}

// ---------------------------------------------------------------- following the highlighted row

void TConsultaListaPac::DataSourceDataChange()
{
    if (!seguindo_ || !Query1->active() || Query1->isEmpty()) return;
    const bool parcial = w_BuscaParcial->isChecked() || semBrancosADireita(w_Busca->text()).startsWith(u'%');
    if (!parcial) w_Busca->setText(Query1->field(QStringLiteral("NOME")).asString());
    w_Busca1->setText(Query1->field(QStringLiteral("IDENTIDADE")).asString());
    DBGrid1->viewport()->update();
}

// ---------------------------------------------------------------- buttons

void TConsultaListaPac::BitBtn1Click()
{
    if (!Query1->active() || Query1->isEmpty()) {
        reject(); // nothing to confirm: the record screen keeps its client
        return;
    }
    const qint64 id = Query1->field(QStringLiteral("ID")).asInteger();
    Dataset& cliente = *Dados->Cliente;
    cliente.close();
    cliente.setLinha(1, QStringLiteral("WHERE ID= :ID") + regrascliente::planoPorId);
    cliente.setParametro(QStringLiteral("ID"), id);
    cliente.open();
    accept();
}

void TConsultaListaPac::buscaPorBotao(const QString& condicao, const QString& valor)
{
    if (valor.isEmpty()) return;
    Timer1->stop(); // until the next key in w_Busca
    abre(QStringLiteral("SELECT FIRST 100"), condicao, valor);
    if (!Query1->isEmpty()) w_Busca->setText(Query1->field(QStringLiteral("NOME")).asString());
}

void TConsultaListaPac::BitBtn3Click()
{
    buscaPorBotao(QStringLiteral("WHERE UPPER(P.IDENTIDADE)=UPPER(") + busca + u')' + planoIdentidade,
                  semBrancosADireita(w_Busca1->text()));
}

void TConsultaListaPac::BitBtn5Click()
{
    buscaPorBotao(QStringLiteral("WHERE P.CPF=") + busca + planoCpf, semBrancosADireita(Edit1->text()));
}

void TConsultaListaPac::BitBtn6Click()
{
    buscaPorBotao(QStringLiteral("WHERE (upper(P.MAE)=") + busca + u')' + planoMae, semBrancosADireita(Edit2->text()));
}

void TConsultaListaPac::defineBotaoPadrao(QPushButton* botao)
{
    for (QPushButton* b : {BitBtn1, BitBtn3, BitBtn5})
        b->setDefault(b == botao);
}

// ---------------------------------------------------------------- keys and focus of the boxes

bool TConsultaListaPac::eventFilter(QObject* objeto, QEvent* evento)
{
    const QEvent::Type tipo = evento->type();
    if (objeto == w_Busca) {
        if (tipo == QEvent::FocusIn) seguindo_ = false;
        if (tipo == QEvent::FocusOut) seguindo_ = true;
        if (tipo == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(evento);
            if (k->key() == Qt::Key_Escape) {
                reject();
                return true;
            }
            bool consumida = false;
            protegido([&] { consumida = w_BuscaKeyDown(k->key()); });
            if (consumida) return true;
            if (!k->text().isEmpty()) w_BuscaChange(); // a typed key restarts the pause, changed text or not
        }
    } else if (objeto == w_Busca1 || objeto == Edit1) {
        // Enter in the identity or CPF box runs that box's search instead of confirming.
        if (tipo == QEvent::FocusIn) defineBotaoPadrao(objeto == w_Busca1 ? BitBtn3 : BitBtn5);
        if (tipo == QEvent::FocusOut) defineBotaoPadrao(BitBtn1);
    }
    return QDialog::eventFilter(objeto, evento);
}
