if (x) {
	y = 1;
}
