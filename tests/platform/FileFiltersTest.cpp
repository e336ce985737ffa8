// The program's file-type filters turned into Qt name filters.
#include "platform/FileFilters.h"

#include <gtest/gtest.h>

namespace {

TEST(FileFilters, TheProgramsFiltersBecomeQtNameFilters) {
    struct Case {
        const char* filter;
        QStringList want;
    };
    const Case cases[] = {
        {"HTML Files|*.html;*.htm;*.shtml;*.shtm;*.asp|Project Files|*.out|EXE Files|*.exe|"
         "All Files|*.*",
         {"HTML Files (*.html *.htm *.shtml *.shtm *.asp)", "Project Files (*.out)",
          "EXE Files (*.exe)", "All Files (*)"}},
        // The shared save dialog's list ends its HTML patterns with a ";".
        {"Project File|*.out|HTML Files|*.html;*.shtml;*.htm;*.sht;*.asp;*.cgi;|All Files|*.*",
         {"Project File (*.out)", "HTML Files (*.html *.shtml *.htm *.sht *.asp *.cgi)",
          "All Files (*)"}},
        {"HTML Files|*.htm;*.html;*.shtml;*.asp;*.cgi|All files (*.*)|*.*",
         {"HTML Files (*.htm *.html *.shtml *.asp *.cgi)", "All files (*.*) (*)"}},
        {"All Files|*.*|Image Files|*.jpg;*.gif|HTML Files|*.html;*.htm|All Web Files|"
         "*.jpg;*.gif;*.html;*.htm",
         {"All Files (*)", "Image Files (*.jpg *.gif)", "HTML Files (*.html *.htm)",
          "All Web Files (*.jpg *.gif *.html *.htm)"}},
        {"*.*", {"*.* (*)"}}, // a lone pattern labels itself as the program wrote it
        {"HTML Files||All Files|*.*;*.*", {"HTML Files (*)", "All Files (*)"}},
        {"|*.txt", {"*.txt (*.txt)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toQtNameFilters(QString::fromLatin1(c.filter)), c.want) << c.filter;
}

} // namespace
