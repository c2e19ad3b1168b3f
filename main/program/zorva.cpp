// Program entry: everything happens in MAIN.
#include "main/drivers/mainprog.hpp"

int main() { return zorva::MAIN(); }
