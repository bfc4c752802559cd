#!/usr/bin/env node
// A script with a hashbang line.
if (process) {
console.log("hi")
}
