// Test entry for the headless groups: the library without a display (memory bitmaps only).
#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(8);
    return RUN_ALL_TESTS();
}
