#pragma once
// Password rules: the strength meter of the user registry, the minimum length of a password that
// is set, and the temporary passwords of the recovery.

#include <QString>
#include <stdexcept>

// At least one character of Str in the special set (accented letters and punctuation), in A to Z,
// or in 0 to 9.
bool ExisteEspecial(const QString& Str);
bool ExisteMaiuscula(const QString& Str);
bool ExisteNumero(const QString& Str);

// Strength score: 15 for 6 characters or more, 10 more for 8 or more, 25 each for a special
// character, an upper-case letter and a digit. Lower-case letters earn nothing.
int PontosSenha(const QString& Senha);
// "Fraca", "Regular", "Média", "Boa" or "Ótima" for a score.
QString PalavraForca(int pontos);
// The word the registry shows beside its password field.
QString ForcaSenha(const QString& Senha);

// Shortest password the system stores.
inline constexpr int TamanhoMinimoSenha = 4;
QString mensagemSenhaCurta(); // "Comprimento de Senha minimo = 4 caracteres"
// Longest password the column USUARIOS.SENHA holds. A longer one is refused, not cut: the boxes
// show stars, so the operator would never see what was dropped.
inline constexpr int TamanhoMaximoSenha = 40;
QString mensagemSenhaLonga(); // "A senha aceita no máximo 40 caracteres"
// The message for a password too short or too long to be stored; empty when its length is fine.
QString mensagemTamanhoSenha(const QString& senha);

// The selected groups ever give no character.
class ErroSenha : public std::runtime_error
{
public:
    explicit ErroSenha(const QString& mensagem) : std::runtime_error(mensagem.toStdString()) {}
};

// Tamanho characters drawn uniformly from the selected groups (upper case without I, lower case
// without l, digits without 1, and "@#$%&*<>?"), from the system's cryptographic random source:
// a temporary password must not be guessable. Tamanho 0 or less gives empty text; no group
// selected throws ErroSenha "Nenhum tipo de caractere foi selecionado para a senha".
QString GerarSenhaAleatoria(int Tamanho, bool IncluirMaiusculas, bool IncluirMinusculas, bool IncluirNumeros,
                            bool IncluirSimbolos);
