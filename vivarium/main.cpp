#include <cstdio>

int main()
{
    std::fputs("vivarium: not built yet\n", stderr);
    return 1;
}
