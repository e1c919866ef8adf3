#pragma once
// Small text and document-number functions shared by the screens. All work on QString, one
// character per UTF-16 code unit; none touches the database or the screen.

#include <QString>
#include <stdexcept>

// A text that should have been a number was not. what() carries the Portuguese message that the
// application's error report shows.
class ErroConversao : public std::runtime_error
{
public:
    explicit ErroConversao(const QString& mensagem);
    QString mensagem() const { return mensagem_; }

private:
    QString mensagem_;
};

// CPF check digits (modulus 11). The text is the 11 digits without punctuation. A non-digit among
// the first nine throws ErroConversao; a non-digit in the check-digit positions, a text of any other
// length and the ten repeated-digit numbers are simply not valid.
bool cpf(const QString& num);

// CNPJ check digits (modulus 11, weights 2 to 9 from the right). The text is the 14 digits without
// punctuation; any other text and the repeated-digit numbers are not valid.
bool cnpjValido(const QString& num);

// The CNPJ a new local database carries until the installer enters the restaurant's own.
inline constexpr char16_t CnpjDeExemplo[] = u"11222333000181";

// Integer part of w_Valor rounded to one decimal place, padded with zeros on the left up to
// w_Length characters; a longer number is not cut.
QString StrZero(double w_Valor, int w_Length);

// The first w_Tamanho characters of w_String, padded with spaces to exactly w_Tamanho.
QString LeftClip(const QString& w_String, int w_Tamanho);

// Accented Latin letters to plain ones, the apostrophe to a space; same length as str.
QString SemAcento(const QString& str);

// Double quotes and apostrophes to spaces; same length as str.
QString SemSimbolos(const QString& str);

// Replaces the first character of the first occurrence of antigo (case-sensitive) by novo.
QString trocacaractere(const QString& variavel, const QString& antigo, const QString& novo);

// True when numero is not empty and holds only the ASCII digits 0 to 9.
bool enumero(const QString& numero);

// A menu caption without its accelerator mark: the last "&" is dropped. A caption without a mark,
// or one that is only the mark, comes back unchanged.
QString AjustaControle(const QString& str);
