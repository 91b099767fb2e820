#!/bin/sh
echo "placeholder"
