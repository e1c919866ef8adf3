#pragma once
// The rules of a client record: the defaults of a new client, the code lists with how a picked text
// is stored and how a stored code is shown, the checks that run as the operator leaves the name,
// CPF, identity-document, phone, mother's-name and district boxes, and the re-selection of the
// shared client dataset by key. The data module knows nothing of clients: instalaRegrasCliente hangs
// the dataset's part on Dados->Cliente, and the record screen calls the checks from its boxes.
// Every value typed by the operator reaches the database as a parameter.

#include "data/dataset.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class TDados;

// Hangs ClienteAfterInsert, the set-text hooks of ESCOLARIDADE, CIVIL, COR and NACIONALIDADE and the
// edit masks of CPF, TELEFONE, CELULAR, CEP and NASC on dados.Cliente. Calling it again is harmless.
void instalaRegrasCliente(TDados& dados);

// Defaults of a new client, from the current row of Dados->Empresas (opened when closed).
void ClienteAfterInsert(Dataset& DataSet);
// ESCOLARIDADE, CIVIL and COR store the number the picked text starts with; NACIONALIDADE its first
// two characters. Ignored while browsing. A blank pick (the first race/colour entry) clears the column.
// A text typed into the list that starts with no code of it is refused (fb::Error, as a failed conversion).
void ClienteESCOLARIDADESetText(Field& Sender, const QString& Text);
void ClienteNACIONALIDADESetText(Field& Sender, const QString& Text);
// Selects the client whose ID is codigoID ("" selects none); nothing when it is already the one shown.
void FixaCliente(const QString& codigoID);

namespace regrascliente {

// ---- selection lines ----
// With "ORDER BY NOME" alone the server walks the whole name index to find one client; these plans
// read the one index that answers the condition and sort what it found.
extern const QString planoPorId;         // by ID (PK_CLIENTE)
extern const QString planoPorCpf;        // by CPF
extern const QString planoPorIdentidade; // by identity document
// "WHERE ID = :ID" with its plan; the key goes in the parameter ID.
QString linhaPorId();

// ---- code lists ----
QStringList listaCivil();
QStringList listaEscolaridade();
QStringList listaCor(); // starts with a single blank: no race/colour
QStringList listaSexo();
// Text shown for the stored code of CIVIL, ESCOLARIDADE or COR; "" for any other value or none.
QString textoDoCodigo(const QString& coluna, const QVariant& codigo);
// The caption of the list of CIVIL, ESCOLARIDADE or COR, for messages.
QString nomeDaLista(const QString& coluna);

// ---- name ----
QString mensagemUmNome();     // two lines: one name only
QString mensagemAbreviacao(); // "." or a lone letter
QString mensagemEspacoDuplo();
QString mensagemAcentuacao();
// The messages the checks give for a trimmed name, in order: only the one-name message when the
// name has no blank; otherwise one per failing check (one per lone letter), empty when it passes.
QStringList problemasDoNome(const QString& nome);
// "F" when the first given name ends in A or I, "M" otherwise.
QString sexoPeloNome(const QString& nome);
// Leaving the name box: trims NOME; while editing or inserting runs the checks (a failing check is
// shown as a warning; the one-name check refuses always, the others only while inserting), then,
// while inserting, the duplicate-name question and the sex guess. False: leaving must be refused.
bool saidaNome(Dataset& cliente);
// Asks about each stored client of that name; Yes abandons the new client and shows that one.
// True when the new client was abandoned.
bool perguntaNomeDuplicado(Dataset& cliente, const QString& nome);

// ---- CPF and identity document ----
// Warn (information box) when another client holds the same CPF / identity document. The cache holds
// the parameter's value (BuscaCPF / BuscaRG) once it has been read non-empty.
void avisaCpfDuplicado(Dataset& cliente, QString& xBuscaCPF);
void avisaIdentidadeDuplicada(Dataset& cliente, QString& xBuscaRG);

// ---- phones ----
QString mensagemTelefone();
// The phone rule on the 11 typed positions of a phone box (unfilled positions as blanks): a leading
// 0 is dropped, a ten-digit number gets a blank after its area code. False when the result does not
// hold exactly 11 characters between its first and last non-blank.
bool normalizaTelefone(QString& posicoes);
// The 11 positions of a stored phone as its box shows them and the rule reads them: a value of ten
// characters without a blank (area code and an eight-digit number) as area code, blank, eight
// digits; a shorter one at the right, where the mask puts it.
QString posicoesTelefone(const QString& valor);
// Leaving a phone box (TELEFONE or CELULAR): applies normalizaTelefone to the field while editing or
// inserting; shows mensagemTelefone and returns false when leaving must be refused.
bool saidaTelefone(Field& telefone);

// ---- mother's name and district ----
void saidaMae(Dataset& cliente);    // trims MAE unless browsing
void saidaBairro(Dataset& cliente); // BAIRRO without quotes (SemSimbolos) while editing or inserting

} // namespace regrascliente
