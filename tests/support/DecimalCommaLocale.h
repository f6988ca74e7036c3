#pragma once

#include "support/TempFolder.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace vexo::test {

// While it lives, the C library writes numbers with a decimal comma, as under
// LC_ALL=de_DE.UTF-8 (a desktop program takes its locale from the environment). The locale is
// compiled into a folder of its own, so that none need be installed.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        TempFolder::write(m_folder.path("comma.src"),
                          "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\n"
                          "END LC_NUMERIC\n");
        const std::string command = "localedef --no-archive -c -f ANSI_X3.4-1968 -i '" +
                                    m_folder.path("comma.src") + "' '" + m_folder.path("comma") +
                                    "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1) // made with warnings (for the parts left out) too
            return;
        ::setenv("LOCPATH", m_folder.folder().c_str(), 1);
        m_active = std::setlocale(LC_NUMERIC, "comma") != nullptr;
    }
    ~DecimalCommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        ::unsetenv("LOCPATH");
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool active() const { return m_active; }

private:
    TempFolder m_folder;
    bool m_active = false;
};

} // namespace vexo::test
