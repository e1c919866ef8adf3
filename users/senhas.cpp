#include "users/senhas.h"

#include <QRandomGenerator>
#include <functional>

namespace {

const QString especiais = QStringLiteral("àâêôûãõáéíóúçüÀÂÊÔÛÃÕÁÉÍÓÚÇÜ~!-,.@#$%¨&*()_;:?/\\]}{[´`=+");

bool existe(const QString& Str, const std::function<bool(QChar)>& teste)
{
    for (QChar c : Str)
        if (teste(c)) return true;
    return false;
}

} // namespace

bool ExisteEspecial(const QString& Str)
{
    return existe(Str, [](QChar c) { return especiais.contains(c); });
}

bool ExisteMaiuscula(const QString& Str)
{
    return existe(Str, [](QChar c) { return c >= u'A' && c <= u'Z'; });
}

bool ExisteNumero(const QString& Str)
{
    return existe(Str, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

int PontosSenha(const QString& Senha)
{
    int pontos = 0;
    if (Senha.size() >= 6) pontos += 15;
    if (Senha.size() >= 8) pontos += 10;
    if (ExisteEspecial(Senha)) pontos += 25;
    if (ExisteMaiuscula(Senha)) pontos += 25;
    if (ExisteNumero(Senha)) pontos += 25;
    return pontos;
}

QString PalavraForca(int pontos)
{
    QString palavra;
    if (pontos <= 25) palavra = QStringLiteral("Fraca");
    if (pontos >= 40) palavra = QStringLiteral("Regular");
    if (pontos >= 60) palavra = QStringLiteral("Média");
    if (pontos >= 75) palavra = QStringLiteral("Boa");
    if (pontos >= 100) palavra = QStringLiteral("Ótima");
    return palavra;
}

QString ForcaSenha(const QString& Senha)
{
    return PalavraForca(PontosSenha(Senha));
}

QString mensagemSenhaCurta()
{
    return QStringLiteral("Comprimento de Senha minimo = %1 caracteres").arg(TamanhoMinimoSenha);
}

QString mensagemSenhaLonga()
{
    return QStringLiteral("A senha aceita no máximo %1 caracteres").arg(TamanhoMaximoSenha);
}

QString mensagemTamanhoSenha(const QString& senha)
{
    if (senha.size() < TamanhoMinimoSenha) return mensagemSenhaCurta();
    if (senha.size() > TamanhoMaximoSenha) return mensagemSenhaLonga();
    return {};
}

QString GerarSenhaAleatoria(int Tamanho, bool IncluirMaiusculas, bool IncluirMinusculas, bool IncluirNumeros,
                            bool IncluirSimbolos)
{
    // Letters and digits that are easily mistaken for one another (I, l, 1) are left out.
    QString alfabeto;
    if (IncluirMaiusculas) alfabeto += QStringLiteral("ABCDEFGHJKLMNOPQRSTUVWXYZ");
    if (IncluirMinusculas) alfabeto += QStringLiteral("abcdefghijkmnopqrstuvwxyz");
    if (IncluirNumeros) alfabeto += QStringLiteral("023456789");
    if (IncluirSimbolos) alfabeto += QStringLiteral("@#$%&*<>?");
    if (alfabeto.isEmpty()) throw ErroSenha(QStringLiteral("Nenhum tipo de caractere foi selecionado para a senha"));
    QString senha;
    if (Tamanho <= 0) return senha;
    senha.reserve(Tamanho);
    QRandomGenerator* fonte = QRandomGenerator::system();
    for (int i = 0; i < Tamanho; ++i)
        senha += alfabeto.at(int(fonte->bounded(quint32(alfabeto.size()))));
    return senha;
}
