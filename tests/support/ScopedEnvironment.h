#pragma once
// Sets environment variables for one test and puts the old values back at the end of the scope.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // A null value unsets the variable.
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    void Set(const char* name, const std::string& value) { Set(name, value.c_str()); }

    ~ScopedEnvironment() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
