// tests/render/main.cpp — the render tests' entry: GLUT is started only when tests will run,
// so listing them needs no display
#include <GL/freeglut.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!testing::GTEST_FLAG(list_tests)) glutInit(&argc, argv);
    return RUN_ALL_TESTS();
}
