// Test entry for the groups that need the real system driver: a display, the timer, sound.
#define ALLEGRO_NO_COMPATIBILITY
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!getenv("DISPLAY")) {
        fprintf(stderr, "these tests need an X display (run them through ./test)\n");
        return 1;
    }
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
        return 1;
    install_timer();
    set_color_depth(8);
    return RUN_ALL_TESTS();
}
