void zrPchWidgets() {}
