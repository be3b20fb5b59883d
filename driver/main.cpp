// The program's entry point: the whole show runs from RunShow.
#include "driver/driver.h"

int main() { return RunShow(); }
