#pragma once
// Finding and showing the widgets of a screen under test, by their objectName.

#include <QAbstractButton>
#include <QWidget>
#include <QtTest>

// The child named nome; a missing one ends the test run at once, naming it.
template <class T = QWidget> T* filho(const QWidget* w, const char* nome)
{
    T* c = w->findChild<T*>(QString::fromLatin1(nome));
    if (!c) qFatal("widget %s not found", nome);
    return c;
}

inline QAbstractButton* botao(QWidget* w, const char* nome)
{
    return filho<QAbstractButton>(w, nome);
}

// Shows the screen as a window of its own and waits until it is the active one.
inline bool mostra(QWidget* w, QSize tamanho)
{
    w->resize(tamanho);
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}
