// Vectors and matrices: clearing, copying and printing touch exactly the cells they name.
#include <gtest/gtest.h>

#include "storage/storage.hpp"

using namespace dispersao;

TEST(Storage, PrintVectorWritesEachEntryAndASpaceWithoutNewline) {
    int* vector = alloc_vector(3);
    zero_vector(vector, 3);
    vector[1] = 1;
    testing::internal::CaptureStdout();
    print_vector(vector, 3);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0 1 0 ");
    free_vector(vector);
}

TEST(Storage, ZeroAndCopyStayInsideTheirLength) {
    int* source = alloc_vector(5);
    int* destination = alloc_vector(6);
    for (int i = 0; i < 5; ++i) {
        source[i] = i + 1;
    }
    destination[5] = 42;
    copy_vector(destination, source, 5);
    EXPECT_EQ(destination[4], 5);
    EXPECT_EQ(destination[5], 42);
    zero_vector(destination, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(destination[i], 0);
    }
    EXPECT_EQ(destination[5], 42);
    free_vector(source);
    free_vector(destination);
}

TEST(Storage, ZeroMatrixClearsEveryCellOfARectangle) {
    float** matrix = alloc_matrix(3, 4);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            matrix[i][j] = 17.5F;
        }
    }
    zero_matrix(matrix, 3, 4);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(matrix[i][j], 0.0F) << i << "," << j;
        }
    }
    free_matrix(matrix, 3);
}
