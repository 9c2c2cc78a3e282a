// Opens the settings file and saves it, round after round, with all nine favourites set to
// the round's number, until it is killed: the fault test kills it at random moments. With
// a second argument it saves one round only.
//
// Usage: faults_saveloop FILE [once]

#include "platform/store/settingsfile.h"

#include <unistd.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    const bool once = argc > 2;
    // Every run counts from elsewhere, so that a file left by one run differs from the last.
    const auto first = static_cast<std::int32_t>(::getpid() % 100000 * 100);
    for (std::int32_t round = first;; ++round) {
        platform::SettingsFile store(argv[1]);
        settings::Values values = settings::Load(store);
        values.favorites.fill(round % (colorcodes::White + 1));
        settings::Save(store, values);
        if (once)
            return store.keptAll() ? 0 : 1;
        if (round == first) {
            // Tells the killer that the saves are under way.
            std::fputs("saving\n", stdout);
            std::fflush(stdout);
        }
    }
}
