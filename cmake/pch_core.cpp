void zrPchCore() {}
