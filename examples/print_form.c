/* Prints a form filled with data through libZRK:
 *   cc print_form.c $(pkg-config --cflags --libs zrk) -o print_form
 *   ./print_form invoice.zrk invoice.dat "CONTROL PRINTER=Default;" */
#include <stdio.h>
#include <zrk.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s FORM DATA [CONTROL]\n", argv[0]);
        return 2;
    }
    /* No owner window; without a control statement the print dialog asks. */
    int result = ZRK_Print(0, argv[1], argv[2], argc > 3 ? argv[3] : NULL);
    printf("ZRK_Print: %d\n", result);
    return result == 0 ? 0 : 1;
}
