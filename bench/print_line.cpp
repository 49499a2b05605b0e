// The floor for a command-line answer: a Qt Core program that prints one line and exits.
#include <QTextStream>

int main()
{
    QTextStream(stdout) << "floor" << Qt::endl;
    return 0;
}
