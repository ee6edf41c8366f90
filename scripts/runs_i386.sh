#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit x86 programs, non-zero when
# it does not. Some kernels are built or started without that support; Wine's
# 32-bit half then cannot run at all ("Exec format error"), so the 32-bit
# Windows tests have nothing to run on. The probe is the smallest static i386
# program, made with binutils (which comes with g++): exit(0) and nothing else.
set -u
work=$(mktemp -d /tmp/miravel-i386.XXXXXX)
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n mov $1, %%eax\n xor %%ebx, %%ebx\n int $0x80\n' >"$work/probe.s"
as --32 -o "$work/probe.o" "$work/probe.s" 2>/dev/null || exit 2
ld -m elf_i386 -o "$work/probe" "$work/probe.o" 2>/dev/null || exit 2
"$work/probe" 2>/dev/null
