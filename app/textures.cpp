// app/textures.cpp — uploads the checkerboard and every bitmap of the table
#include "app/textures.h"
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include "game/folders.h"
#include "render/skybox.h"

void uploadCheckerboard() {
    glBindTexture(GL_TEXTURE_2D, TEX_CHECKER);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, checkerPixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

void loadTexture(const char* name, int number) {
    Image* image = new (std::nothrow) Image;
    if (!image) {
        printf("Error allocating space for image");
        exit(1);
    }
    std::cout << "trying to load " << name << std::endl;
    // The reader refuses a side above what this GL can take.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (!loadBitmap(dataPath(name).c_str(), *image, maxSide > 0 ? static_cast<uint32_t>(maxSide) : ANY_SIDE)) {
        delete image;
        exit(1);
    }
    forgetKeptSky();
    glBindTexture(GL_TEXTURE_2D, number);
    // Rows are packed: a row of width × 3 bytes need not end on a four-byte boundary.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image->pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    delete image;   // GL keeps its own copy
}

void loadAllTextures() {
    makeCheckerboard(64, 64);
    uploadCheckerboard();
    for (int i = 0; i < textureCount; i++)
        loadTexture(textureTable[i].path, textureTable[i].number);
}
