#include "dialogos.h"

#include <QCoreApplication>
#include <QDebug>
#include <QObject>

namespace {

// Stands in until the program installs its real service: nothing can be shown, so every request
// is answered as if the box had been closed, and logged so the omission is not silent.
class DialogosSilenciosos : public Dialogos
{
public:
    int mensagem(TipoCaixa, const QString& titulo, const QString& texto, int botoes) override
    {
        qWarning().noquote() << "caixa sem serviço de diálogos:" << titulo << "-" << texto;
        return respostaPadrao(botoes);
    }
    bool entrada(const QString& titulo, const QString&, QString&) override
    {
        qWarning().noquote() << "entrada sem serviço de diálogos:" << titulo;
        return false;
    }
    QString abrirArquivo(const QString& titulo, const QString&) override
    {
        qWarning().noquote() << "arquivo sem serviço de diálogos:" << titulo;
        return QString();
    }
    int mostrarModal(QObject* janela) override
    {
        qWarning().noquote() << "janela modal sem serviço de diálogos:" << (janela ? janela->objectName() : QString());
        return 0;
    }
};

DialogosSilenciosos& silencioso()
{
    static DialogosSilenciosos s;
    return s;
}

Dialogos* atual = nullptr;

} // namespace

Dialogos::~Dialogos()
{
    if (atual == this) atual = nullptr;
}

int Dialogos::respostaPadrao(int botoes)
{
    for (int b : {Botao::Nao, Botao::Cancelar, Botao::Ok, Botao::Sim})
        if (botoes & b) return b;
    return Botao::Ok;
}

QString Dialogos::tituloPadrao(TipoCaixa tipo)
{
    switch (tipo) {
    case TipoCaixa::Informacao:
        return QStringLiteral("Informação");
    case TipoCaixa::Aviso:
        return QStringLiteral("Atenção");
    case TipoCaixa::Erro:
        return QStringLiteral("Erro");
    case TipoCaixa::Confirmacao:
        return QStringLiteral("Confirme");
    case TipoCaixa::Simples:
        break;
    }
    return QCoreApplication::applicationName();
}

Dialogos& dialogos()
{
    return atual ? *atual : silencioso();
}

Dialogos* defineDialogos(Dialogos* servico)
{
    Dialogos* anterior = atual;
    atual = servico;
    return anterior;
}

namespace {
int mostra(TipoCaixa tipo, const QString& texto, const QString& titulo, int botoes)
{
    return dialogos().mensagem(tipo, titulo.isEmpty() ? Dialogos::tituloPadrao(tipo) : titulo, texto, botoes);
}
} // namespace

void simples(const QString& texto, const QString& titulo)
{
    mostra(TipoCaixa::Simples, texto, titulo, Botao::Ok);
}

void informa(const QString& texto, const QString& titulo)
{
    mostra(TipoCaixa::Informacao, texto, titulo, Botao::Ok);
}

void avisa(const QString& texto, const QString& titulo)
{
    mostra(TipoCaixa::Aviso, texto, titulo, Botao::Ok);
}

void erro(const QString& texto, const QString& titulo)
{
    mostra(TipoCaixa::Erro, texto, titulo, Botao::Ok);
}

bool confirma(const QString& texto, const QString& titulo)
{
    return mostra(TipoCaixa::Confirmacao, texto, titulo, Botao::Sim | Botao::Nao) == Botao::Sim;
}

// --- DialogosRoteirizados

void DialogosRoteirizados::responde(int botao)
{
    respostas_ << botao;
}

void DialogosRoteirizados::respondeEntrada(const std::optional<QString>& texto)
{
    respostasEntrada_ << texto;
}

void DialogosRoteirizados::respondeArquivo(const QString& caminho)
{
    respostasArquivo_ << caminho;
}

void DialogosRoteirizados::respondeModal(int codigo)
{
    respostasModal_ << RespostaModal([codigo](QObject*) { return codigo; });
}

void DialogosRoteirizados::respondeModal(RespostaModal acao)
{
    respostasModal_ << std::move(acao);
}

int DialogosRoteirizados::mensagem(TipoCaixa tipo, const QString& titulo, const QString& texto, int botoes)
{
    int resposta = respostaPadrao(botoes);
    if (!respostas_.isEmpty()) {
        const int pedida = respostas_.takeFirst();
        if (botoes & pedida)
            resposta = pedida;
        else
            qWarning().noquote() << "resposta" << pedida << "não é um botão da caixa:" << texto;
    }
    caixas_ << Caixa{tipo, titulo, texto, botoes, resposta};
    return resposta;
}

bool DialogosRoteirizados::entrada(const QString& titulo, const QString& rotulo, QString& valor)
{
    entradas_ << Entrada{titulo, rotulo, valor};
    if (respostasEntrada_.isEmpty()) return false;
    const std::optional<QString> r = respostasEntrada_.takeFirst();
    if (!r) return false;
    valor = *r;
    return true;
}

QString DialogosRoteirizados::abrirArquivo(const QString& titulo, const QString&)
{
    arquivos_ << titulo;
    return respostasArquivo_.isEmpty() ? QString() : respostasArquivo_.takeFirst();
}

int DialogosRoteirizados::mostrarModal(QObject* janela)
{
    modais_ << janela;
    return respostasModal_.isEmpty() ? 0 : respostasModal_.takeFirst()(janela);
}

QStringList DialogosRoteirizados::textos() const
{
    QStringList r;
    for (const Caixa& c : caixas_)
        r << c.texto;
    return r;
}

int DialogosRoteirizados::pendentes() const
{
    return int(respostas_.size() + respostasEntrada_.size() + respostasArquivo_.size() + respostasModal_.size());
}

void DialogosRoteirizados::limpa()
{
    respostas_.clear();
    respostasEntrada_.clear();
    respostasArquivo_.clear();
    respostasModal_.clear();
    caixas_.clear();
    entradas_.clear();
    arquivos_.clear();
    modais_.clear();
}
