#include "common/ui/telacadastro.h"

#include "common/dialogos.h"
#include "common/texto.h"
#include "common/ui/cores.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbradiogroup.h"
#include "common/ui/ligacaocampo.h"
#include "common/ui/relatorioerro.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

namespace {

const char* const propriedadeMarca = "tag";

void habilita(const QList<QPointer<QWidget>>& lista, bool sim)
{
    for (const QPointer<QWidget>& w : lista)
        if (w) w->setEnabled(sim);
}

QList<QPointer<QWidget>> guarda(const QList<QWidget*>& lista)
{
    QList<QPointer<QWidget>> r;
    for (QWidget* w : lista)
        r << QPointer<QWidget>(w);
    return r;
}

void pintaFundo(QWidget* w, const QColor& cor, bool lista)
{
    QPalette p = w->palette();
    if (p.color(QPalette::Base) == cor && (!lista || p.color(QPalette::Button) == cor)) return;
    p.setColor(QPalette::Base, cor);
    if (lista) p.setColor(QPalette::Button, cor);
    w->setPalette(p);
}

} // namespace

TelaCadastro::TelaCadastro(QWidget* tela, Dataset* dataset) : QObject(tela), tela_(tela), ds_(dataset)
{
    if (dataset) {
        connect(dataset, &Dataset::stateChanged, this, &TelaCadastro::atualizaEstado);
        connect(dataset, &Dataset::recordChanged, this, [this] {
            if (cores_) atualizaCores();
        });
        connect(dataset, &Dataset::fieldChanged, this, [this] {
            if (cores_) atualizaCores();
        });
    }
}

TelaCadastro::~TelaCadastro()
{
    if (filtrando_ && qApp) qApp->removeEventFilter(this);
}

// ---------------------------------------------------------------- state display

void TelaCadastro::defineNavegacao(const QList<QWidget*>& controles)
{
    navegacao_ = guarda(controles);
    atualizaEstado();
}

void TelaCadastro::defineAcoes(QWidget* incluir, QWidget* alterar, QWidget* excluir)
{
    incluir_ = incluir;
    alterar_ = alterar;
    excluir_ = excluir;
    atualizaEstado();
}

void TelaCadastro::defineConfirmacao(QWidget* confirmar, QWidget* naoConfirmar)
{
    confirmar_ = confirmar;
    naoConfirmar_ = naoConfirmar;
    atualizaEstado();
}

void TelaCadastro::defineSoEditando(const QList<QWidget*>& controles)
{
    soEditando_ = guarda(controles);
    atualizaEstado();
}

void TelaCadastro::defineSoIncluindo(const QList<QWidget*>& controles)
{
    soIncluindo_ = guarda(controles);
    atualizaEstado();
}

void TelaCadastro::defineRotuloEstado(QLabel* estado)
{
    estado_ = estado;
    atualizaEstado();
}

QString TelaCadastro::textoEstado(EstadoDataset estado)
{
    switch (estado) {
    case EstadoDataset::Insert:
        return QStringLiteral("Incluindo...");
    case EstadoDataset::Edit:
        return QStringLiteral("Editando...");
    default:
        return QStringLiteral("Navegando...");
    }
}

bool TelaCadastro::navegando() const
{
    return ds_ && ds_->state() == EstadoDataset::Browse;
}

void TelaCadastro::atualizaEstado()
{
    const bool browse = navegando();
    const bool editando = ds_ && ds_->isEditing();
    habilita(navegacao_, browse);
    auto direito = [](const std::function<bool()>& f) { return !f || f(); };
    if (incluir_) incluir_->setEnabled(browse && direito(podeIncluir));
    if (alterar_) alterar_->setEnabled(browse && direito(podeAlterar));
    if (excluir_) excluir_->setEnabled(browse && direito(podeExcluir));
    if (confirmar_) confirmar_->setEnabled(editando);
    if (naoConfirmar_) naoConfirmar_->setEnabled(editando);
    habilita(soEditando_, editando);
    habilita(soIncluindo_, ds_ && ds_->state() == EstadoDataset::Insert);
    if (estado_) estado_->setText(textoEstado(ds_ ? ds_->state() : EstadoDataset::Inactive));
}

// ---------------------------------------------------------------- standard buttons

void TelaCadastro::conectaBotoes()
{
    auto liga = [this](QWidget* w, void (TelaCadastro::*acao)()) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) connect(b, &QAbstractButton::clicked, this, acao);
    };
    liga(incluir_, &TelaCadastro::incluir);
    liga(alterar_, &TelaCadastro::alterar);
    liga(excluir_, &TelaCadastro::excluir);
    liga(confirmar_, &TelaCadastro::confirmar);
    liga(naoConfirmar_, &TelaCadastro::naoConfirmar);
}

bool TelaCadastro::habilitado(QWidget* w) const
{
    return w && w->isEnabled();
}

void TelaCadastro::incluir()
{
    if (!ds_ || !habilitado(incluir_)) return;
    protegido([&] {
        ds_->append();
        if (aoIncluir) aoIncluir();
    });
}

void TelaCadastro::alterar()
{
    if (!ds_ || !habilitado(alterar_)) return;
    protegido([&] {
        ds_->edit();
        if (aoAlterar) aoAlterar();
    });
}

void TelaCadastro::confirmar()
{
    if (!ds_ || !ds_->isEditing()) return;
    protegido([&] {
        const EstadoDataset antes = ds_->state();
        terminaCaixa();
        if (antesDeGravar) antesDeGravar();
        ds_->post();
        if (depoisDeGravar) depoisDeGravar(antes);
    });
}

// ---------------------------------------------------------------- leaving the boxes

// Watches the boxes with a leave rule: a box writes what was typed first, so that the rule sees
// the field's new value.
class SaidaCaixas : public QObject
{
public:
    explicit SaidaCaixas(TelaCadastro* tela) : QObject(tela), tela_(tela) {}

    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        auto* w = qobject_cast<QWidget*>(objeto);
        if (!w) return false;
        if (evento->type() == QEvent::FocusIn) {
            tela_->dentro_ = w;
            return false;
        }
        if (evento->type() != QEvent::FocusOut) return false;
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        // Another window taking the focus (a message box, a menu) is no leaving of the box; nor is
        // the focus passing through a box that a refused leaving took it back from.
        if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason || tela_->dentro_ != w)
            return false;
        tela_->dentro_ = nullptr;
        static_cast<QObject*>(w)->event(evento);
        if (QApplication::focusWidget() == w) return true; // the box kept the focus (an incomplete mask)
        bool aceito = true;
        protegido([&] { aceito = tela_->saidaDe(w); });
        if (!aceito) {
            w->setFocus(Qt::OtherFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        }
        return true;
    }

private:
    TelaCadastro* tela_;
};

void TelaCadastro::defineSaidas(const QList<QWidget*>& caixas, std::function<bool(QWidget*)> regra)
{
    auto* vigia = new SaidaCaixas(this);
    for (QWidget* w : caixas) {
        caixasComSaida_ << QPointer<QWidget>(w);
        w->installEventFilter(vigia);
    }
    regraSaida_ = std::move(regra);
}

bool TelaCadastro::saidaDe(QWidget* caixa)
{
    return !regraSaida_ || regraSaida_(caixa);
}

void TelaCadastro::terminaCaixa()
{
    QWidget* foco = QApplication::focusWidget();
    QWidget* caixa = nullptr;
    for (QWidget* w = foco; w && !caixa && tela_ && (w == tela_ || tela_->isAncestorOf(w)); w = w->parentWidget())
        if (LigacaoCampo::de(w) || caixasComSaida_.contains(w)) caixa = w;
    if (caixa) {
        if (LigacaoCampo* l = LigacaoCampo::de(caixa); l && l->modificado() && !l->grava()) throw Abort();
        if (caixasComSaida_.contains(caixa) && !saidaDe(caixa)) {
            // Refused: the cursor stays in the box, its text selected for correction.
            caixa->setFocus(Qt::OtherFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(caixa)) e->selectAll();
            throw Abort();
        }
    }
    if (ds_ && ds_->isEditing()) LigacaoCampo::gravaPendentes(ds_);
}

// ---------------------------------------------------------------- "Ir Para"

std::optional<QString> TelaCadastro::perguntaIrPara()
{
    if (ds_ && ds_->isEditing()) return std::nullopt;
    QString resposta;
    if (!dialogos().entrada(QStringLiteral("Ir Para"), QStringLiteral("Codigo..."), resposta)) return std::nullopt;
    return resposta;
}

std::optional<qint64> TelaCadastro::perguntaCodigo(const IrPara& regra)
{
    const std::optional<QString> pergunta = perguntaIrPara();
    if (!pergunta) return std::nullopt;
    const QString& resposta = *pergunta;
    const QString texto = (regra.semAcento ? SemAcento(resposta) : resposta).trimmed();
    if (texto.isEmpty()) return std::nullopt;
    bool ok = false;
    const qint64 codigo = texto.toLongLong(&ok);
    const bool alem = ok && (codigo > regra.maiorChave || codigo < -regra.maiorChave - 1);
    if (!ok || (alem && !regra.alemDaChaveNaoEncontrado))
        throw ErroConversao(QStringLiteral("'%1' não é um valor inteiro válido").arg(resposta));
    if (codigo <= 0) return std::nullopt;
    // A number past the key's range names no record; as a parameter of the key it would overflow.
    if (alem) {
        avisa(textoNaoEncontrado());
        return std::nullopt;
    }
    return codigo;
}

bool TelaCadastro::irPara(const std::function<void(qint64)>& seleciona, const std::function<void()>& volta,
                          const IrPara& regra)
{
    const std::optional<qint64> codigo = perguntaCodigo(regra);
    if (!codigo) return false;
    seleciona(*codigo);
    if (ds_ && ds_->isEmpty()) {
        avisa(textoNaoEncontrado());
        volta();
    }
    return true;
}

void TelaCadastro::naoConfirmar()
{
    if (!ds_ || (!ds_->isEditing() && !perguntaNavegando)) return;
    if (!perguntaCancelar.isEmpty() && !confirma(perguntaCancelar)) return;
    protegido([&] {
        const EstadoDataset antes = ds_->state();
        ds_->cancel();
        // Another workstation may have changed the row meanwhile: show it as it is stored now.
        if (antes == EstadoDataset::Edit) ds_->refresh();
        if (aoCancelar) aoCancelar(antes);
    });
}

void TelaCadastro::excluir()
{
    if (!ds_ || !ds_->active() || ds_->isEditing() || (excluir_ && !excluir_->isEnabled())) return;
    if (antesDeExcluir && !antesDeExcluir()) return;
    if (ds_->isEmpty() || !confirma(QStringLiteral("Excluir Registro?"))) return;
    protegido([&] {
        ds_->deleteRecord();
        if (aoExcluir)
            aoExcluir();
        else
            ds_->last();
    });
}

// ---------------------------------------------------------------- keys

void TelaCadastro::ativaEnterAvanca(const QList<QWidget*>& excecoes)
{
    enterAvanca_ = true;
    excecoesEnter_ = guarda(excecoes);
    if (!filtrando_) {
        qApp->installEventFilter(this);
        filtrando_ = true;
    }
}

void TelaCadastro::defineTecla(const QKeySequence& tecla, std::function<void()> acao, bool soNavegando)
{
    teclas_ << Tecla{tecla, std::move(acao), soNavegando};
    if (!filtrando_) {
        qApp->installEventFilter(this);
        filtrando_ = true;
    }
}

void TelaCadastro::avancaFoco(QWidget* de)
{
    QWidget* w = de;
    for (int volta = 0; volta < 10000; ++volta) {
        w = w->nextInFocusChain();
        if (!w || w == de) return;
        if (!tela_->isAncestorOf(w) || w->isAncestorOf(de) || de->isAncestorOf(w) || w->focusProxy() == de) continue;
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || !w->isEnabled() || !w->isVisible()) continue;
        w->setFocus(Qt::TabFocusReason);
        return;
    }
}

bool TelaCadastro::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress || !tela_) return false;
    auto* w = qobject_cast<QWidget*>(objeto);
    // Only the first delivery, to the focused control: a key ignored there travels up to its parents.
    if (!w || w != QApplication::focusWidget() || (w != tela_ && !tela_->isAncestorOf(w))) return false;
    auto* e = static_cast<QKeyEvent*>(evento);
    if (teclas && teclas(e)) return true;
    const QKeySequence pressionada(e->keyCombination());
    for (const Tecla& t : teclas_) {
        if (t.sequencia.matches(pressionada) != QKeySequence::ExactMatch) continue;
        if (!t.soNavegando || navegando()) protegido([&] { t.acao(); });
        return true;
    }
    const bool enter = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
                       (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && enterAvanca_ && !qobject_cast<QAbstractButton*>(w)) {
        for (const QPointer<QWidget>& x : excecoesEnter_)
            if (x && (x == w || x->isAncestorOf(w))) return false;
        avancaFoco(w);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- focus colours

void TelaCadastro::defineMarca(QWidget* controle, int marca)
{
    controle->setProperty(propriedadeMarca, marca);
}

int TelaCadastro::marca(const QWidget* controle)
{
    return controle->property(propriedadeMarca).toInt();
}

void TelaCadastro::ativaCoresFoco(const RegraCores& regra)
{
    regra_ = regra;
    if (!cores_) {
        cores_ = true;
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* antes, QWidget* agora) {
            if (tela_ && ((antes && tela_->isAncestorOf(antes)) || (agora && tela_->isAncestorOf(agora))))
                atualizaCores();
        });
    }
    atualizaCores();
}

void TelaCadastro::atualizaCores()
{
    if (!tela_ || !cores_) return;
    QWidget* foco = QApplication::focusWidget();
    const QList<QWidget*> filhos = tela_->findChildren<QWidget*>();
    for (QWidget* w : filhos) {
        const LigacaoCampo* l = LigacaoCampo::de(w);
        if (!l) continue;
        const bool lista = l->tipo() == LigacaoCampo::Tipo::Lista;
        if (l->tipo() == LigacaoCampo::Tipo::Outro || (lista && !regra_.incluiListas)) continue;
        if (regra_.marcaIgnorada >= 0 && marca(w) == regra_.marcaIgnorada) continue;
        QColor c = cor::campoSemFoco;
        if (foco && (foco == w || w->isAncestorOf(foco)))
            c = cor::campoComFoco;
        else if (regra_.obrigatoriosVazios && marca(w) != 0 && l->vazio())
            c = regra_.corObrigatorio;
        pintaFundo(w, c, lista);
    }
}

// ---------------------------------------------------------------- field information

namespace {
// Only the letters a to z: accented letters keep their case.
QString maiusculasAscii(QString s)
{
    for (QChar& c : s)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return s;
}
} // namespace

QString InformacaoCampo(QWidget* foco)
{
    Dataset* ds = nullptr;
    Field* campo = nullptr;
    QString nomeCampo;
    const DBLookupComboBox* lookup = nullptr;
    for (QWidget* w = foco; w && !ds; w = w->parentWidget()) {
        if (auto* grade = qobject_cast<DBGrid*>(w)) {
            ds = grade->dataset();
            campo = grade->campoSelecionado();
            nomeCampo = campo ? campo->fieldName() : QString();
        } else if (LigacaoCampo* l = LigacaoCampo::de(w)) {
            if (l->tipo() == LigacaoCampo::Tipo::Outro && !qobject_cast<DBRadioGroup*>(w))
                return {}; // check boxes and pictures are not asked about
            ds = l->dataset();
            campo = l->campo();
            nomeCampo = l->nomeCampo();
            lookup = qobject_cast<DBLookupComboBox*>(w);
        }
    }
    if (!ds || ds->name().isEmpty()) return {};
    const QChar cr(13);
    const bool obrigatorio = campo && campo->required();
    QString texto =
        QStringLiteral("INFORMAÇÕES SOBRE O CAMPO") + cr + cr + QStringLiteral("Nome do Campo:") +
        maiusculasAscii(nomeCampo) + cr + QStringLiteral("Tabela:") + maiusculasAscii(ds->name()) + cr +
        maiusculasAscii(obrigatorio ? QStringLiteral("Campo Obrigatório") : QStringLiteral("Campo não Obrigatório"));
    if (lookup)
        texto += QString(cr) + cr + QStringLiteral("O valor do campo acima vem do campo ") +
                 maiusculasAscii(lookup->campoChave()) + cr + QStringLiteral("que esta na Tabela ") +
                 maiusculasAscii(lookup->lista() ? lookup->lista()->name() : QString());
    return texto;
}

// ---------------------------------------------------------------- button pictures

namespace {
QString& pastaDefinida()
{
    static QString p;
    return p;
}
} // namespace

QString pastaFiguras()
{
    if (!pastaDefinida().isEmpty()) return pastaDefinida();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/figuras");
}

void definePastaFiguras(const QString& pasta)
{
    pastaDefinida() = pasta;
}

void defineDica(QWidget* controle, const QString& dica)
{
    controle->setToolTip(dica);
    controle->setAccessibleName(dica);
}

bool CarregaFigura(const QString& figura)
{
    return QFile::exists(pastaFiguras() + u'/' + figura);
}

bool CarregaFigura(QAbstractButton* botao, const QString& figura)
{
    if (!botao || !CarregaFigura(figura)) return false;
    const QPixmap p(pastaFiguras() + u'/' + figura);
    if (p.isNull()) return false;
    botao->setIcon(QIcon(p));
    botao->setIconSize(p.size());
    return true;
}

void ImagensBotoes(QAbstractButton* Button1, QAbstractButton* Button2, QAbstractButton* Button3,
                   QAbstractButton* Button4, QAbstractButton* incluir, QAbstractButton* alterar,
                   QAbstractButton* excluir, QAbstractButton* Confirmar, QAbstractButton* NaoConfirmar)
{
    struct Figura
    {
        QAbstractButton* botao;
        const char* arquivo;
        const char* dica;
    };
    const Figura figuras[] = {
        {Button1, "primeiro.bmp", "Primeiro Registro"},
        {Button2, "menosUm.bmp", "Registro Anterior"},
        {Button3, "maisUm.bmp", "Proximo Registro"},
        {Button4, "ultimo.bmp", "Ultimo Registro"},
        {incluir, "incluir.bmp", "Incluir"},
        {alterar, "alterar.bmp", "Alterar"},
        {excluir, "excluir.bmp", "Excluir"},
        {Confirmar, "gravar.bmp", "Gravar"},
        {NaoConfirmar, "cancelar.bmp", "Cancelar"},
    };
    for (const Figura& f : figuras) {
        if (!f.botao) continue;
        CarregaFigura(f.botao, QString::fromLatin1(f.arquivo));
        if (f.botao->toolTip().isEmpty()) f.botao->setToolTip(QString::fromUtf8(f.dica));
        if (f.botao->accessibleName().isEmpty()) f.botao->setAccessibleName(f.botao->toolTip());
    }
}

// ---------------------------------------------------------------- tabs

namespace {

const char* const propriedadeDestaque = "abaDestacada";

// Draws the tabs of a tab bar in the colours of their index.
class PintorAbas : public QObject
{
public:
    PintorAbas(QTabBar* barra, const QList<QColor>& cores, const QList<QColor>& texto)
        : QObject(barra), barra_(barra), cores_(cores), texto_(texto)
    {
        setObjectName(QStringLiteral("pintorAbas"));
    }

    static PintorAbas* de(QTabBar* barra)
    {
        return dynamic_cast<PintorAbas*>(
            barra->findChild<QObject*>(QStringLiteral("pintorAbas"), Qt::FindDirectChildrenOnly));
    }

    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (objeto != barra_ || evento->type() != QEvent::Paint) return false;
        QPainter p(barra_);
        const int destaque = barra_->property(propriedadeDestaque).isValid()
                                 ? barra_->property(propriedadeDestaque).toInt()
                                 : barra_->currentIndex();
        for (int i = 0; i < barra_->count(); ++i) {
            const QRect r = barra_->tabRect(i);
            p.fillRect(r, cores_.value(i, barra_->palette().color(QPalette::Button)));
            const QColor texto = texto_.value(i).isValid() ? texto_.value(i) : QColor(Qt::white);
            p.setPen(texto);
            p.drawText(r.adjusted(5, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, barra_->tabText(i));
            if (i == destaque) {
                p.setPen(QPen(cor::exibicaoSomenteLeitura, 2));
                p.drawRect(r.adjusted(1, 1, -1, -1));
            }
        }
        return true;
    }

private:
    QTabBar* barra_;
    QList<QColor> cores_, texto_;
};

} // namespace

void pintaAbas(QTabWidget* abas, const QList<QColor>& cores, const QList<QColor>& coresTexto)
{
    QTabBar* barra = abas->tabBar();
    if (PintorAbas* antigo = PintorAbas::de(barra)) {
        barra->removeEventFilter(antigo);
        delete antigo;
    }
    barra->installEventFilter(new PintorAbas(barra, cores, coresTexto));
    if (!abas->property("abasPintadas").toBool()) {
        abas->setProperty("abasPintadas", true);
        QObject::connect(abas, &QTabWidget::currentChanged, abas, [abas] { MudaCorPageControl(abas); });
    }
    MudaCorPageControl(abas);
}

void MudaCorPageControl(QTabWidget* abas)
{
    QTabBar* barra = abas->tabBar();
    const int ativa = abas->currentIndex();
    barra->setProperty(propriedadeDestaque, ativa);
    if (!PintorAbas::de(barra)) {
        for (int i = 0; i < barra->count(); ++i)
            barra->setTabTextColor(i, i == ativa ? cor::azulMarinho : QColor());
    }
    barra->update();
}

// ---------------------------------------------------------------- web pages

namespace {

// Host of the street-map service; only its path and query keys are fixed.
const QString servidorMapas = QStringLiteral("http://mapas.comedal.com.br");
const QString servidorCorreios = QStringLiteral("http://www.correios.com.br");

AbridorEnderecos& abridor()
{
    static AbridorEnderecos a;
    return a;
}

QString semBrancosADireita(QString s)
{
    while (!s.isEmpty() && s.back() <= QChar(u' '))
        s.chop(1);
    return s;
}

} // namespace

void defineAbridorEnderecos(AbridorEnderecos a)
{
    abridor() = std::move(a);
}

bool abreEndereco(const QString& endereco)
{
    if (abridor()) return abridor()(endereco);
    return QDesktopServices::openUrl(QUrl(endereco, QUrl::TolerantMode));
}

QString enderecoMapa(const QString& w_Endereco, const QString& w_Cidade, const QString& w_UF)
{
    // Cities the map service covers, with their municipality codes (without the state prefix 29).
    static const struct
    {
        const char* cidade;
        const char* codigo;
    } cidades[] = {{"SALVADOR", "27408"},        {"CANDEIAS", "06501"},         {"CAMACARI", "05701"},
                   {"ITABUNA", "14802"},         {"LAURO DE FREITAS", "19207"}, {"SIMOES FILHO", "30709"},
                   {"FEIRA DE SANTANA", "10800"}};
    const QString procurada = semBrancosADireita(w_Cidade).toUpper();
    bool atendida = false;
    for (const auto& c : cidades)
        atendida = atendida || procurada == QLatin1String(c.cidade);
    if (!atendida) return {};
    return servidorMapas + QStringLiteral("/mapas/busca.asp") + QStringLiteral("?uf=") + w_UF +
           QStringLiteral("&cidade=") + w_Cidade.toUpper() + QStringLiteral("&rua=") + semBrancosADireita(w_Endereco);
}

void MostraMapa(const QString& w_Endereco, const QString& w_Cidade, const QString& w_UF)
{
    const QString endereco = enderecoMapa(w_Endereco, w_Cidade, w_UF);
    if (endereco.isEmpty()) {
        erro(QStringLiteral("Cidade ainda não Disponível"));
        return;
    }
    abreEndereco(endereco);
}

QString enderecoPesquisaCep()
{
    return servidorCorreios + QStringLiteral("/servicos/cep/cep_default.cfm");
}

void PesquisaCep()
{
    abreEndereco(enderecoPesquisaCep());
}
