// zrvsheet-read: reads one spreadsheet file for the spreadsheet application.

#include "sheet/reader/Reader.h"

int main(int argc, char** argv)
{
    return zrv::sheet::reader::Run(argc, argv);
}
